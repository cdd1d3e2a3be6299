#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <random>
#include <string>
#include <system_error>
#include <thread>

#include "FileSystemOs.h"
#include "cleanup/DurableRename.h"
#include "cleanup/RemoveOnSignal.h"

namespace settings::os {
namespace {

using Clock = std::chrono::steady_clock;

// Another program's read or write takes milliseconds; a lock kept longer than this is not
// going away, and the settings are then reported as not read or not saved.
constexpr auto kLockWait = std::chrono::seconds(10);
constexpr auto kLockRetry = std::chrono::milliseconds(10);

constexpr const char* kHeldByAnother = "it is held by another program";

// Settings take a few kilobytes. A file far larger (a disk image or a log put in its place, a
// file another program keeps appending to) would be read whole into memory and rewritten at
// every save; it is refused instead of exhausting the memory.
constexpr std::size_t kLargestSettingsFile = std::size_t{64} << 20U;
constexpr const char* kTooLarge = "it is larger than 64 MiB";

std::string ReasonOf(int error) {
  if (error == EISDIR) {
    return "it is a folder";
  }
  std::string text = std::generic_category().message(error);
  if (!text.empty() && text[0] >= 'A' && text[0] <= 'Z') {
    text[0] = static_cast<char>(text[0] - 'A' + 'a');
  }
  return text;
}

// Why an open failed, telling a missing folder from the rest.
std::string OpenFailure(int error) {
  return error == ENOENT ? "its folder does not exist" : ReasonOf(error);
}

// Why an open file is no settings file: a folder, a FIFO, a device.
std::optional<std::string> NotARegularFile(int fd) {
  struct stat info {};
  if (::fstat(fd, &info) != 0) {
    return ReasonOf(errno);
  }
  if (S_ISDIR(info.st_mode)) {
    return ReasonOf(EISDIR);
  }
  if (!S_ISREG(info.st_mode)) {
    return "it is not a regular file";
  }
  return std::nullopt;
}

enum class LockOutcome { kHeld, kBusy, kUnsupported };

// Waits until the deadline for the advisory lock. A file system without such locks is used
// without them, as before locks were taken.
LockOutcome LockUntil(int fd, int operation, Clock::time_point deadline) {
  for (;;) {
    if (::flock(fd, operation | LOCK_NB) == 0) {
      return LockOutcome::kHeld;
    }
    if (errno != EWOULDBLOCK && errno != EINTR) {
      return LockOutcome::kUnsupported;
    }
    if (Clock::now() >= deadline) {
      return LockOutcome::kBusy;
    }
    std::this_thread::sleep_for(kLockRetry);
  }
}

std::optional<std::string> ReadAll(int fd, std::string& failure) {
  std::string text;
  char chunk[65536];
  for (off_t offset = 0;;) {
    const ssize_t got = ::pread(fd, chunk, sizeof chunk, offset);
    if (got < 0) {
      if (errno == EINTR) {
        continue;
      }
      failure = ReasonOf(errno);
      return std::nullopt;
    }
    if (got == 0) {
      return text;
    }
    if (text.size() + static_cast<std::size_t>(got) > kLargestSettingsFile) {
      failure = kTooLarge;
      return std::nullopt;
    }
    text.append(chunk, static_cast<std::size_t>(got));
    offset += got;
  }
}

bool WriteAll(int fd, std::string_view bytes) {
  for (off_t offset = 0; !bytes.empty();) {
    const ssize_t written = ::pwrite(fd, bytes.data(), bytes.size(), offset);
    if (written < 0) {
      if (errno == EINTR) {
        continue;
      }
      return false;
    }
    bytes.remove_prefix(static_cast<std::size_t>(written));
    offset += written;
  }
  return true;
}

// The new contents over the old in the same file: owner, mode and links stay. The space is
// reserved first, so a full disk stops the write before a byte of the old contents goes.
bool RewriteInPlace(int fd, std::string_view bytes, std::string& failure) {
  if (!bytes.empty()) {
    const int reserved = ::posix_fallocate(fd, 0, static_cast<off_t>(bytes.size()));
    if (reserved != 0 && reserved != EOPNOTSUPP && reserved != EINVAL) {
      failure = ReasonOf(reserved);
      return false;
    }
  }
  if (!WriteAll(fd, bytes) || ::ftruncate(fd, static_cast<off_t>(bytes.size())) != 0 ||
      ::fsync(fd) != 0) {
    failure = ReasonOf(errno);
    return false;
  }
  return true;
}

// Gives the new file the old one's owner (when it differs) and mode. False when the owner
// cannot be kept: this user may write the file, but it belongs to someone else.
bool TakeOverOwnerAndMode(int newFd, const struct stat& old) {
  struct stat fresh {};
  if (::fstat(newFd, &fresh) != 0) {
    return false;
  }
  if ((fresh.st_uid != old.st_uid || fresh.st_gid != old.st_gid) &&
      ::fchown(newFd, old.st_uid, old.st_gid) != 0) {
    return false;
  }
  return ::fchmod(newFd, old.st_mode & 07777) == 0;
}

enum class ReplaceOutcome { kDone, kFailed, kNotReplaceable };

// A new temporary file beside path, guarded from before it exists, so that an interrupt at
// any moment leaves nothing behind. -1 (errno set) when none can be made.
int CreateTemporary(const std::filesystem::path& path, std::string& temp,
                    std::optional<cleanup::RemoveOnSignal>& guard) {
  // Not guessable, so that no other user of a shared folder can take the names beforehand.
  static const std::string unguessable = std::to_string(std::random_device()());
  static std::atomic<unsigned> counter{0};
  for (int attempt = 0; attempt < 100; ++attempt) {
    temp = path.string() + "." + std::to_string(::getpid()) + "-" + unguessable + "-" +
           std::to_string(counter++);
    guard.emplace(temp);
    const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd >= 0) {
      return fd;
    }
    const int error = errno;
    guard.reset();  // the name is someone else's, or nothing was made
    if (error != EEXIST) {
      errno = error;
      return -1;
    }
  }
  errno = EEXIST;
  return -1;
}

ReplaceOutcome ReplaceByRename(const std::filesystem::path& path, const struct stat& old,
                               std::string_view bytes, std::string& failure) {
  std::string temp;
  std::optional<cleanup::RemoveOnSignal> guard;
  const int fd = CreateTemporary(path, temp, guard);
  if (fd < 0) {
    if (errno == EACCES || errno == EPERM) {
      return ReplaceOutcome::kNotReplaceable;
    }
    failure = ReasonOf(errno);
    return ReplaceOutcome::kFailed;
  }
  const auto discard = [&] {
    ::unlink(temp.c_str());
    guard.reset();
  };
  if (!TakeOverOwnerAndMode(fd, old)) {
    ::close(fd);
    discard();
    return ReplaceOutcome::kNotReplaceable;
  }
  int error = 0;
  if (!WriteAll(fd, bytes) || ::fsync(fd) != 0) {
    error = errno;
  }
  if (::close(fd) != 0 && error == 0) {
    error = errno;
  }
  if (error == 0 && !cleanup::RenameDurably(temp, path)) {
    error = errno;
  }
  if (error != 0) {
    failure = ReasonOf(error);
    discard();
    return ReplaceOutcome::kFailed;
  }
  guard.reset();
  return ReplaceOutcome::kDone;
}

}  // namespace

std::filesystem::path LinkedFile(const std::filesystem::path& path) {
  constexpr int kMostLinks = 40;  // as many as the system follows in one path
  std::filesystem::path file = path;
  std::error_code error;
  for (int links = 0; links < kMostLinks && std::filesystem::is_symlink(file, error); ++links) {
    const auto target = std::filesystem::read_symlink(file, error);
    if (error) {
      break;
    }
    file = target.is_absolute() ? target : file.parent_path() / target;
  }
  return file;
}

std::optional<std::string> ReadSettingsFile(const std::filesystem::path& path,
                                            std::string& failure) {
  if (path.empty()) {
    failure = "no file is named";
    return std::nullopt;
  }
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
  if (fd < 0) {
    const int error = errno;
    std::error_code ignored;
    const auto file = LinkedFile(path);
    const auto folder = file.has_parent_path() ? file.parent_path() : ".";
    if (error == ENOENT && std::filesystem::is_directory(folder, ignored)) {
      return std::string();
    }
    failure = OpenFailure(error);
    return std::nullopt;
  }
  std::optional<std::string> text;
  if (auto wrong = NotARegularFile(fd)) {
    failure = std::move(*wrong);
  } else if (LockUntil(fd, LOCK_SH, Clock::now() + kLockWait) == LockOutcome::kBusy) {
    failure = kHeldByAnother;
  } else {
    text = ReadAll(fd, failure);
  }
  ::close(fd);
  return text;
}

SettingsFileLock::SettingsFileLock(const std::filesystem::path& path) : path_(path) {
  const auto deadline = Clock::now() + kLockWait;
  for (;;) {
    fd_ = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOCTTY | O_NONBLOCK, 0666);
    if (fd_ < 0) {
      failure_ = OpenFailure(errno);
      return;
    }
    if (auto wrong = NotARegularFile(fd_)) {
      failure_ = std::move(*wrong);
      break;
    }
    if (LockUntil(fd_, LOCK_EX, deadline) == LockOutcome::kBusy) {
      failure_ = kHeldByAnother;
      break;
    }
    // Another program may have replaced the file while this one waited for the lock of the
    // one it had opened: the lock counts only on the file the path names now.
    struct stat held {};
    struct stat named {};
    if (::fstat(fd_, &held) == 0 && ::stat(path.c_str(), &named) == 0 &&
        held.st_dev == named.st_dev && held.st_ino == named.st_ino) {
      return;
    }
    ::close(fd_);
    fd_ = -1;
    if (Clock::now() >= deadline) {
      failure_ = kHeldByAnother;
      return;
    }
  }
  ::close(fd_);
  fd_ = -1;
}

SettingsFileLock::~SettingsFileLock() {
  if (fd_ >= 0) {
    ::close(fd_);  // releases the lock
  }
}

std::optional<std::string> SettingsFileLock::Read(std::string& failure) const {
  return ReadAll(fd_, failure);
}

bool SettingsFileLock::Replace(std::string_view bytes, std::string& failure) const {
  struct stat old {};
  if (::fstat(fd_, &old) != 0) {
    failure = ReasonOf(errno);
    return false;
  }
  switch (ReplaceByRename(path_, old, bytes, failure)) {
    case ReplaceOutcome::kDone:
      return true;
    case ReplaceOutcome::kFailed:
      return false;
    case ReplaceOutcome::kNotReplaceable:
      break;
  }
  // An interrupt would leave the old file's tail behind the new contents: it waits.
  const cleanup::HoldSignals finishFirst;
  return RewriteInPlace(fd_, bytes, failure);
}

std::optional<std::filesystem::path> ProgramFile() {
  std::error_code error;
  auto file = std::filesystem::read_symlink("/proc/self/exe", error);
  if (error) {
    return std::nullopt;
  }
  return file;
}

bool IsFolderWritable(const std::filesystem::path& folder) {
  return ::access(folder.c_str(), W_OK | X_OK) == 0;
}

}  // namespace settings::os
