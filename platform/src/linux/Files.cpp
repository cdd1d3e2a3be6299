// Files and devices: CreateFile and the calls made on its handles.
#include <fcntl.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <memory>

#include "linux/CommSettings.h"
#include "linux/DeviceId.h"
#include "linux/DevicePaths.h"
#include "linux/ErrorCodes.h"
#include "linux/FailureNotes.h"
#include "linux/LinuxServices.h"
#include "linux/ParallelIo.h"
#include "linux/SerialIo.h"
#include "linux/SoleUse.h"
#include "linux/UsbOpen.h"
#include "platform/WriteProgress.h"

namespace platform::linux_backend {

namespace {

int OpenFlags(std::uint32_t access) {
  const bool read = (access & kGenericRead) != 0;
  const bool write = (access & kGenericWrite) != 0;
  if (read && write) {
    return O_RDWR;
  }
  return write ? O_WRONLY : O_RDONLY;
}

// O_CREAT and friends for a disposition; -1 for a value CreateFile does not know.
int CreationFlags(std::uint32_t disposition) {
  switch (disposition) {
    case kCreateNew:
      return O_CREAT | O_EXCL;
    case kCreateAlways:
    case kOpenAlways:
      return O_CREAT;
    case kOpenExisting:
    case kTruncateExisting:
      return 0;
    default:
      return -1;
  }
}

std::uint32_t OpenFailure(int error, const std::string& path) {
  if (error == ENOENT) {
    const std::filesystem::path parent = std::filesystem::path(path).parent_path();
    std::error_code ignored;
    if (!parent.empty() && !std::filesystem::is_directory(parent, ignored)) {
      return kErrorPathNotFound;
    }
  }
  return ErrorFromErrno(error);
}

int OpenRetrying(const std::string& path, int flags) {
  int fd = -1;
  do {
    fd = ::open(path.c_str(), flags, 0666);
  } while (fd < 0 && errno == EINTR);
  return fd;
}

// A printer port's device opened and held for the sharing asked for; -1 after noting why not.
int OpenPortDevice(const std::string& device, int flags, std::uint32_t share) {
  const int fd = OpenRetrying(device, flags);
  if (fd < 0) {
    SetLastErrorCode(ErrorFromErrno(errno));
    NoteOpenFailure(LastError(), device);
    return -1;
  }
  if (!TakeSharingLock(fd, share, device)) {
    ::close(fd);
    return -1;
  }
  return fd;
}

// A tty becomes a raw byte line without blocking reads: what a Windows serial port is.
bool PrepareSerialLine(OpenFile& line) {
  termios settings{};
  if (::tcgetattr(line.fd, &settings) != 0) {
    return false;
  }
  MakeRawLine(settings);
  if (::tcsetattr(line.fd, TCSANOW, &settings) != 0) {
    return false;
  }
  ReadCommState(settings, line.shadow);
  return true;
}

// "\\.\LPTn": the device is never created, and it takes bytes appended (a regular file that
// stands in for a printer keeps everything sent). A tty that stands in for it passes bytes
// unchanged; it is no serial line to the callers. Only a device answers reads: a regular file
// or a FIFO standing in has no printer behind it and would hand back the caller's own bytes.
Handle OpenParallelPort(const std::string& device, std::uint32_t access, std::uint32_t share,
                        HandleTable& handles) {
  const int fd = OpenPortDevice(
      device, OpenFlags(access) | O_CLOEXEC | O_NOCTTY | O_NONBLOCK | O_APPEND, share);
  if (fd < 0) {
    return kInvalidHandle;
  }
  struct stat status {};
  const bool isDevice = ::fstat(fd, &status) == 0 && S_ISCHR(status.st_mode);
  termios settings{};
  if (::isatty(fd) != 0 && ::tcgetattr(fd, &settings) == 0) {
    MakeRawLine(settings);
    ::tcsetattr(fd, TCSANOW, &settings);
  }
  auto port = std::make_shared<OpenFile>(fd, false, false, true);
  port->device = device;
  port->answers = isDevice;
  const Handle handle = handles.Add(std::move(port));
  SetLastErrorCode(kErrorSuccess);
  return handle;
}

// "\\.\COMn": a tty, held for sole use (also against openers that take no lock) and made raw.
Handle OpenSerialLine(const std::string& device, std::uint32_t access, std::uint32_t share,
                      HandleTable& handles) {
  const int fd =
      OpenPortDevice(device, OpenFlags(access) | O_CLOEXEC | O_NOCTTY | O_NONBLOCK, share);
  if (fd < 0) {
    return kInvalidHandle;
  }
  if (::isatty(fd) == 0) {
    ::close(fd);
    SetLastErrorCode(kErrorNotSupported);
    NoteOpenFailure(kErrorFileNotFound, device, "It is not a serial line (a terminal device).");
    return kInvalidHandle;
  }
  const bool exclusive = share == 0 && ::ioctl(fd, TIOCEXCL) == 0;
  auto line = std::make_shared<OpenFile>(fd, true, exclusive);
  line->device = device;
  if (!PrepareSerialLine(*line)) {
    FailFromErrno();
    return kInvalidHandle;
  }
  const Handle handle = handles.Add(std::move(line));
  SetLastErrorCode(kErrorSuccess);
  return handle;
}

// Any other path is written as a file, whatever it names. It is opened without blocking, so a
// FIFO that no program reads fails at once instead of waiting for a reader; a terminal keeps
// its line settings; a pipe, terminal or device is written with bounded waits.
Handle OpenOrdinaryFile(const std::string& path, std::uint32_t access, std::uint32_t share,
                        std::uint32_t disposition, HandleTable& handles) {
  struct stat before {};
  const bool existed = ::stat(path.c_str(), &before) == 0;
  const int fd = OpenRetrying(
      path, OpenFlags(access) | O_CLOEXEC | O_NOCTTY | O_NONBLOCK | CreationFlags(disposition));
  if (fd < 0) {
    const int error = errno;
    SetLastErrorCode(OpenFailure(error, path));
    if (error == ENXIO && existed && S_ISFIFO(before.st_mode)) {
      NoteNoReply(path, "It is a FIFO that no program is reading.");
    } else if (error != EISDIR) {  // a folder: none of the reasons describes it
      NoteOpenFailure(LastError(), path,
                      LastError() == kErrorPathNotFound ? "Its folder does not exist." : "");
    }
    return kInvalidHandle;
  }
  if (!TakeSharingLock(fd, share, path)) {
    ::close(fd);
    return kInvalidHandle;
  }
  struct stat opened {};
  const bool regular = ::fstat(fd, &opened) == 0 && S_ISREG(opened.st_mode);
  auto file = std::make_shared<OpenFile>(fd, false, false);
  file->device = path;
  file->stream = !regular;
  const bool truncates = disposition == kCreateAlways || disposition == kTruncateExisting;
  if (regular && truncates && ::ftruncate(fd, 0) != 0) {
    FailFromErrno();
    return kInvalidHandle;
  }
  const Handle handle = handles.Add(std::move(file));
  const bool reportsExisting = disposition == kCreateAlways || disposition == kOpenAlways;
  SetLastErrorCode(reportsExisting && existed ? kErrorAlreadyExists : kErrorSuccess);
  return handle;
}

}  // namespace

Handle LinuxServices::CreateFile(const char* path, std::uint32_t access, std::uint32_t share,
                                 std::uint32_t disposition, std::uint32_t /*attributes*/) {
  const int creation = CreationFlags(disposition);
  if (path == nullptr || creation < 0) {
    SetLastErrorCode(kErrorInvalidParameter);
    return kInvalidHandle;
  }
  const ResolvedPath target = ResolvePath(path);
  if (target.kind == ResolvedPath::Kind::kUnknownDevice) {
    SetLastErrorCode(kErrorFileNotFound);
    return kInvalidHandle;
  }
  if (target.kind == ResolvedPath::Kind::kParallelPort) {
    return OpenParallelPort(target.path, access, share, handles_);
  }
  if (target.kind == ResolvedPath::Kind::kUsbInterface ||
      target.kind == ResolvedPath::Kind::kUsbPrinterNode) {
    return OpenUsbDevice(target, handles_);
  }
  if (target.kind == ResolvedPath::Kind::kSerialLine) {
    return OpenSerialLine(target.path, access, share, handles_);
  }
  return OpenOrdinaryFile(target.path, access, share, disposition, handles_);
}

std::shared_ptr<OpenFile> LinuxServices::Find(Handle handle) {
  auto file = handles_.Find(handle);
  if (file == nullptr) {
    SetLastErrorCode(kErrorInvalidHandle);
  }
  return file;
}

bool LinuxServices::ReadFile(Handle handle, void* buffer, std::uint32_t length,
                             std::uint32_t* bytesRead) {
  std::uint32_t ignored = 0;
  std::uint32_t& count = bytesRead != nullptr ? *bytesRead : ignored;
  count = 0;
  auto file = Find(handle);
  if (file == nullptr) {
    return false;
  }
  // No buffer for a length: refused before any transfer, whose bytes would have nowhere to go.
  if (buffer == nullptr && length > 0) {
    SetLastErrorCode(kErrorNoAccess);
    return false;
  }
  if (file->link) {
    const bool ok = file->link->Read(static_cast<std::uint8_t*>(buffer), length, count);
    if (ok && count == 0 && length > 0) {
      NoteNoReply(file->device);
    }
    return ok;
  }
  auto* bytes = static_cast<std::uint8_t*>(buffer);
  if (file->serial || file->parallel) {
    if (!file->answers) {
      NoteNoReply(file->device, "A file or FIFO stands in for the printer: nothing answers there.");
      SetLastErrorCode(kErrorSuccess);
      return true;
    }
    const bool ok = file->serial ? SerialRead(*file, bytes, length, count)
                                 : ParallelRead(file->fd, bytes, length, count);
    if (!ok) {
      NoteTransferFailure(LastError(), file->device);
    } else if (count == 0 && length > 0) {
      NoteNoReply(file->device);
    }
    return ok;
  }
  // A file to its end; a pipe, terminal or device what it has now (it never holds the read).
  while (count < length) {
    const ssize_t n = ::read(file->fd, bytes + count, length - count);
    if (n < 0 && errno == EINTR) {
      continue;
    }
    if (n < 0 && errno != EAGAIN) {
      return FailFromErrno();
    }
    if (n <= 0) {
      break;
    }
    count += static_cast<std::uint32_t>(n);
  }
  SetLastErrorCode(kErrorSuccess);
  return true;
}

bool LinuxServices::WriteFile(Handle handle, const void* data, std::uint32_t length,
                              std::uint32_t* bytesWritten) {
  std::uint32_t ignored = 0;
  std::uint32_t& count = bytesWritten != nullptr ? *bytesWritten : ignored;
  count = 0;
  auto file = Find(handle);
  if (file == nullptr) {
    return false;
  }
  if (data == nullptr && length > 0) {
    SetLastErrorCode(kErrorNoAccess);
    return false;
  }
  BeginWriteCount();
  if (file->link) {
    const bool ok = file->link->Write(static_cast<const std::uint8_t*>(data), length, count);
    CountBytesTaken(count);
    return ok;
  }
  const auto* bytes = static_cast<const std::uint8_t*>(data);
  if (file->serial || file->parallel || file->stream) {
    // A printer port, a pipe or a terminal may not take the bytes at once: the waits are
    // bounded (the serial line by its time-outs, the others by the printer port's stall limit).
    const bool ok = file->serial ? SerialWrite(*file, bytes, length, count)
                                 : ParallelWrite(file->fd, bytes, length, count);
    if (!ok) {
      NoteTransferFailure(LastError(), file->device);
    }
    return ok;
  }
  while (count < length) {
    const ssize_t n = ::write(file->fd, bytes + count, length - count);
    if (n < 0 && errno == EINTR) {
      continue;
    }
    if (n < 0) {
      return FailFromErrno();
    }
    count += static_cast<std::uint32_t>(n);
    CountBytesTaken(count);
  }
  SetLastErrorCode(kErrorSuccess);
  return true;
}

bool LinuxServices::SetFilePointerEx(Handle handle, std::int64_t distance,
                                     std::int64_t* newPosition, std::uint32_t origin) {
  static_assert(sizeof(off_t) == sizeof(std::int64_t), "file positions need 64 bits");
  auto file = Find(handle);
  if (file == nullptr) {
    return false;
  }
  int whence = SEEK_SET;
  if (origin == kFileCurrent) {
    whence = SEEK_CUR;
  } else if (origin == kFileEnd) {
    whence = SEEK_END;
  } else if (origin != kFileBegin) {
    SetLastErrorCode(kErrorInvalidParameter);
    return false;
  }
  const off_t moved = ::lseek(file->fd, distance, whence);
  if (moved < 0) {
    return FailFromErrno();  // ESPIPE, a handle without a position: kErrorInvalidFunction
  }
  if (newPosition != nullptr) {
    *newPosition = moved;
  }
  SetLastErrorCode(kErrorSuccess);
  return true;
}

bool LinuxServices::CloseHandle(Handle handle) {
  if (!handles_.Remove(handle)) {
    SetLastErrorCode(kErrorInvalidHandle);
    return false;
  }
  return true;
}

bool LinuxServices::DeviceIoControl(Handle handle, std::uint32_t code, const void* in,
                                    std::uint32_t inLength, void* out, std::uint32_t outLength,
                                    std::uint32_t* bytesReturned) {
  std::uint32_t ignored = 0;
  std::uint32_t& count = bytesReturned != nullptr ? *bytesReturned : ignored;
  count = 0;
  auto file = Find(handle);
  if (file == nullptr) {
    return false;
  }
  if ((in == nullptr && inLength > 0) || (out == nullptr && outLength > 0)) {
    SetLastErrorCode(kErrorNoAccess);
    return false;
  }
  auto* reply = static_cast<std::uint8_t*>(out);
  if (file->link) {
    return code == kIoctlParQueryDeviceId
               ? file->link->DeviceId(reply, outLength, count)
               : file->link->IoControl(code, static_cast<const std::uint8_t*>(in), inLength, reply,
                                       outLength, count);
  }
  if (file->parallel && code == kIoctlParQueryDeviceId) {
    return QueryDeviceId(file->fd, reply, outLength, count);
  }
  // A parallel port's device ID is the only I/O control a plain descriptor answers.
  SetLastErrorCode(kErrorNotSupported);
  return false;
}

}  // namespace platform::linux_backend
