// Files and devices: CreateFile and the calls made on its handles.
#include <fcntl.h>
#include <sys/file.h>
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
#include "linux/LinuxServices.h"
#include "linux/ParallelIo.h"
#include "linux/SerialIo.h"
#include "linux/UsbOpen.h"

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

// Sharing as far as Linux has it: advisory locks that every opener through this layer takes.
// No sharing asks for sole use; sharing one of read or write still keeps out an opener that
// wants sole use; sharing both takes no lock at all.
int LockOperation(std::uint32_t share) {
  if (share == 0) {
    return LOCK_EX;
  }
  const std::uint32_t both = kFileShareRead | kFileShareWrite;
  return (share & both) == both ? 0 : LOCK_SH;
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
// unchanged; it is no serial line to the callers.
Handle OpenParallelPort(const std::string& device, std::uint32_t access, std::uint32_t share,
                        HandleTable& handles) {
  const int flags = OpenFlags(access) | O_CLOEXEC | O_NOCTTY | O_NONBLOCK | O_APPEND;
  int fd = -1;
  do {
    fd = ::open(device.c_str(), flags);
  } while (fd < 0 && errno == EINTR);
  if (fd < 0) {
    FailFromErrno();
    return kInvalidHandle;
  }
  const int lock = LockOperation(share);
  if (lock != 0 && ::flock(fd, lock | LOCK_NB) != 0) {
    const int error = errno;
    ::close(fd);
    SetLastErrorCode(ErrorFromErrno(error));
    return kInvalidHandle;
  }
  termios settings{};
  if (::isatty(fd) != 0 && ::tcgetattr(fd, &settings) == 0) {
    MakeRawLine(settings);
    ::tcsetattr(fd, TCSANOW, &settings);
  }
  const Handle handle = handles.Add(std::make_shared<OpenFile>(fd, false, false, true));
  SetLastErrorCode(kErrorSuccess);
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
  const bool serialPath = target.kind == ResolvedPath::Kind::kSerialLine;
  int flags = OpenFlags(access) | O_CLOEXEC | O_NOCTTY;
  flags |= serialPath ? O_NONBLOCK : creation;

  struct stat before {};
  const bool existed = ::stat(target.path.c_str(), &before) == 0;
  int fd = -1;
  do {
    fd = ::open(target.path.c_str(), flags, 0666);
  } while (fd < 0 && errno == EINTR);
  if (fd < 0) {
    SetLastErrorCode(serialPath ? ErrorFromErrno(errno) : OpenFailure(errno, target.path));
    return kInvalidHandle;
  }

  const int lock = LockOperation(share);
  if (lock != 0 && ::flock(fd, lock | LOCK_NB) != 0) {
    const int error = errno;
    ::close(fd);
    SetLastErrorCode(ErrorFromErrno(error));
    return kInvalidHandle;
  }
  const bool tty = ::isatty(fd) != 0;
  if (serialPath && !tty) {
    ::close(fd);
    SetLastErrorCode(kErrorNotSupported);
    return kInvalidHandle;
  }
  const bool exclusive = tty && share == 0 && ::ioctl(fd, TIOCEXCL) == 0;
  auto file = std::make_shared<OpenFile>(fd, tty, exclusive);
  if (tty) {
    if (!serialPath) {
      ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) | O_NONBLOCK);
    }
    if (!PrepareSerialLine(*file)) {
      FailFromErrno();
      return kInvalidHandle;
    }
  } else if (disposition == kCreateAlways || disposition == kTruncateExisting) {
    if (::ftruncate(fd, 0) != 0) {
      FailFromErrno();
      return kInvalidHandle;
    }
  }
  const Handle handle = handles_.Add(std::move(file));
  const bool reportsExisting = disposition == kCreateAlways || disposition == kOpenAlways;
  SetLastErrorCode(reportsExisting && existed ? kErrorAlreadyExists : kErrorSuccess);
  return handle;
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
  if (file->link) {
    return file->link->Read(static_cast<std::uint8_t*>(buffer), length, count);
  }
  if (file->serial) {
    return SerialRead(*file, static_cast<std::uint8_t*>(buffer), length, count);
  }
  if (file->parallel) {
    return ParallelRead(file->fd, static_cast<std::uint8_t*>(buffer), length, count);
  }
  auto* bytes = static_cast<std::uint8_t*>(buffer);
  while (count < length) {
    const ssize_t n = ::read(file->fd, bytes + count, length - count);
    if (n < 0 && errno == EINTR) {
      continue;
    }
    if (n < 0) {
      return FailFromErrno();
    }
    if (n == 0) {
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
  if (file->link) {
    return file->link->Write(static_cast<const std::uint8_t*>(data), length, count);
  }
  if (file->serial) {
    return SerialWrite(*file, static_cast<const std::uint8_t*>(data), length, count);
  }
  if (file->parallel) {
    return ParallelWrite(file->fd, static_cast<const std::uint8_t*>(data), length, count);
  }
  const auto* bytes = static_cast<const std::uint8_t*>(data);
  while (count < length) {
    const ssize_t n = ::write(file->fd, bytes + count, length - count);
    if (n < 0 && errno == EINTR) {
      continue;
    }
    if (n < 0) {
      return FailFromErrno();
    }
    count += static_cast<std::uint32_t>(n);
  }
  SetLastErrorCode(kErrorSuccess);
  return true;
}

std::uint32_t LinuxServices::SetFilePointer(Handle handle, std::int32_t distance,
                                            std::uint32_t origin) {
  auto file = Find(handle);
  if (file == nullptr) {
    return kInvalidSetFilePointer;
  }
  int whence = SEEK_SET;
  if (origin == kFileCurrent) {
    whence = SEEK_CUR;
  } else if (origin == kFileEnd) {
    whence = SEEK_END;
  } else if (origin != kFileBegin) {
    SetLastErrorCode(kErrorInvalidParameter);
    return kInvalidSetFilePointer;
  }
  const off_t old = ::lseek(file->fd, 0, SEEK_CUR);
  const off_t moved = ::lseek(file->fd, distance, whence);
  if (old < 0 || moved < 0) {
    FailFromErrno();
    return kInvalidSetFilePointer;
  }
  // Without a high part the new position must fit in 32 bits (all ones being the failure).
  if (moved >= static_cast<off_t>(kInvalidSetFilePointer)) {
    ::lseek(file->fd, old, SEEK_SET);
    SetLastErrorCode(kErrorInvalidParameter);
    return kInvalidSetFilePointer;
  }
  SetLastErrorCode(kErrorSuccess);
  return static_cast<std::uint32_t>(moved);
}

bool LinuxServices::CloseHandle(Handle handle) {
  if (!handles_.Remove(handle)) {
    SetLastErrorCode(kErrorInvalidHandle);
    return false;
  }
  return true;
}

bool LinuxServices::DeviceIoControl(Handle handle, std::uint32_t code, const void* /*in*/,
                                    std::uint32_t /*inLength*/, void* out, std::uint32_t outLength,
                                    std::uint32_t* bytesReturned) {
  std::uint32_t ignored = 0;
  std::uint32_t& count = bytesReturned != nullptr ? *bytesReturned : ignored;
  count = 0;
  auto file = Find(handle);
  if (file == nullptr) {
    return false;
  }
  if ((file->parallel || file->link) && code == kIoctlParQueryDeviceId) {
    if (out == nullptr && outLength > 0) {
      SetLastErrorCode(kErrorNoAccess);
      return false;
    }
    auto* id = static_cast<std::uint8_t*>(out);
    return file->link ? file->link->DeviceId(id, outLength, count)
                      : QueryDeviceId(file->fd, id, outLength, count);
  }
  // The printers' device ID is the only I/O control this backend answers.
  SetLastErrorCode(kErrorNotSupported);
  return false;
}

}  // namespace platform::linux_backend
