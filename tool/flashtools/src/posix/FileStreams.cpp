#include "../FileStreams.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <string>

namespace flashtools {
namespace {

// Reads start small and double up to kLargestRead while the bytes they bring are used, so a
// sequential reader gets large blocks and a reader that leaves most of a block to the
// system's copy (band data) has read little of it.
constexpr std::size_t kFirstRead = 4096;
constexpr std::size_t kLargestRead = std::size_t{256} << 10;
// Writes smaller than this are gathered before they go to the file.
constexpr std::size_t kWriteBuffer = std::size_t{64} << 10;
// Shorter copies are cheaper through the program's buffers than as a call of their own.
constexpr std::uint64_t kSystemCopyAtLeast = std::uint64_t{16} << 10;
// The largest piece one copy call is asked for.
constexpr std::uint64_t kLargestSystemCopy = std::uint64_t{1} << 30;

FileProblem ProblemOf(int error) {
  return error == EACCES || error == EPERM || error == EROFS ? FileProblem::kPermissionDenied
                                                             : FileProblem::kCannotOpen;
}

// Errors by which the system says it cannot copy between the two files at all.
bool CopyUnavailable(int error) {
  return error == EXDEV || error == EINVAL || error == ENOSYS || error == EOPNOTSUPP ||
         error == EBADF;
}

ssize_t ReadAt(int descriptor, std::uint8_t* into, std::size_t count, std::uint64_t offset,
               bool seekable) {
  for (;;) {
    const ssize_t got = seekable ? ::pread(descriptor, into, count, static_cast<off_t>(offset))
                                 : ::read(descriptor, into, count);
    if (got >= 0 || errno != EINTR) {
      return got;
    }
  }
}

bool WriteAllAt(int descriptor, std::span<const std::uint8_t> bytes, std::uint64_t offset) {
  while (!bytes.empty()) {
    const ssize_t put =
        ::pwrite(descriptor, bytes.data(), bytes.size(), static_cast<off_t>(offset));
    if (put < 0 && errno == EINTR) {
      continue;
    }
    if (put <= 0) {
      return false;
    }
    bytes = bytes.subspan(static_cast<std::size_t>(put));
    offset += static_cast<std::uint64_t>(put);
  }
  return true;
}

}  // namespace

FileSource::FileSource(const std::filesystem::path& path) : nextRead_(kFirstRead) {
  descriptor_ = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (descriptor_ < 0) {
    problem_ = ProblemOf(errno);
    return;
  }
  struct stat status {};
  if (::fstat(descriptor_, &status) != 0 || S_ISDIR(status.st_mode)) {
    problem_ = FileProblem::kCannotOpen;
    Close();
    return;
  }
  seekable_ = S_ISREG(status.st_mode);
  size_ = static_cast<std::uint64_t>(status.st_size);
  if (seekable_) {
    ::posix_fadvise(descriptor_, 0, 0, POSIX_FADV_SEQUENTIAL);
  }
}

FileSource::~FileSource() {
  Close();
}

void FileSource::Close() {
  if (descriptor_ >= 0) {
    ::close(descriptor_);
    descriptor_ = -1;
  }
}

std::optional<std::uint64_t> FileSource::KnownRemaining() const {
  if (!seekable_) {
    return std::nullopt;
  }
  return size_ > Position() ? size_ - Position() : 0;
}

std::span<const std::uint8_t> FileSource::Next(std::size_t limit) {
  if (begin_ == end_ && !Refill()) {
    return {};
  }
  const std::size_t count = std::min(limit, end_ - begin_);
  const std::span<const std::uint8_t> piece(buffer_.get() + begin_, count);
  begin_ += count;
  return piece;
}

bool FileSource::Refill() {
  if (descriptor_ < 0 || failed_) {
    return false;
  }
  if (!buffer_) {
    buffer_ = std::make_unique_for_overwrite<std::uint8_t[]>(kLargestRead);
  }
  const ssize_t got = ReadAt(descriptor_, buffer_.get(), nextRead_, offset_, seekable_);
  if (got <= 0) {
    failed_ = got < 0;
    return false;
  }
  begin_ = 0;
  end_ = static_cast<std::size_t>(got);
  offset_ += end_;
  nextRead_ = std::min(nextRead_ * 2, kLargestRead);
  return true;
}

SystemCopy FileSource::CopyInto(int outputDescriptor, std::uint64_t outputOffset,
                                std::uint64_t count) {
  SystemCopy copy;
  if (descriptor_ < 0 || failed_ || !seekable_) {
    copy.stopped = true;
    copy.unavailable = true;
    return copy;
  }
  // What the buffer still holds is copied again from the file.
  auto in = static_cast<off_t>(Position());
  auto out = static_cast<off_t>(outputOffset);
  begin_ = end_ = 0;
  nextRead_ = kFirstRead;
  while (copy.bytes < count) {
    const auto want = static_cast<std::size_t>(std::min(count - copy.bytes, kLargestSystemCopy));
    const ssize_t moved = ::copy_file_range(descriptor_, &in, outputDescriptor, &out, want, 0);
    if (moved > 0) {
      copy.bytes += static_cast<std::uint64_t>(moved);
      continue;
    }
    if (moved < 0 && errno == EINTR) {
      continue;
    }
    if (moved < 0) {
      copy.stopped = true;
      copy.unavailable = CopyUnavailable(errno);
      break;
    }
    // Some file systems report an end where there is none: believe it only if a read agrees.
    std::uint8_t probe = 0;
    if (ReadAt(descriptor_, &probe, 1, static_cast<std::uint64_t>(in), true) != 0) {
      copy.stopped = true;
      copy.unavailable = true;
    }
    break;
  }
  offset_ = static_cast<std::uint64_t>(in);
  return copy;
}

PendingOutputFile::PendingOutputFile(const std::filesystem::path& path) {
  if (!Open(path)) {
    Discard();
  }
}

bool PendingOutputFile::Open(const std::filesystem::path& path) {
  std::error_code error;
  // Through a symbolic link the file it names is replaced, and the link kept.
  target_ = std::filesystem::is_symlink(path, error) && std::filesystem::exists(path, error)
                ? std::filesystem::canonical(path, error)
                : path;
  if (error) {
    target_ = path;
  }
  struct stat existing {};
  const bool exists = ::stat(target_.c_str(), &existing) == 0;
  if (!exists && errno != ENOENT) {
    problem_ = ProblemOf(errno);
    return false;
  }
  if (exists && !S_ISREG(existing.st_mode)) {
    problem_ = FileProblem::kNotRegularFile;
    return false;
  }
  // Replacing needs only the folder's permission; a file the user may not write is kept.
  if (exists && ::faccessat(AT_FDCWD, target_.c_str(), W_OK, AT_EACCESS) != 0) {
    problem_ = ProblemOf(errno);
    return false;
  }

  const mode_t mode = exists ? (existing.st_mode & 0777) : 0666;
  for (int attempt = 0; attempt <= 1000 && descriptor_ < 0; ++attempt) {
    temporary_ = target_;
    temporary_ += ".partial" + (attempt == 0 ? std::string() : std::to_string(attempt));
    descriptor_ = ::open(temporary_.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, mode);
    if (descriptor_ < 0 && errno != EEXIST) {
      problem_ = ProblemOf(errno);
      return false;
    }
  }
  if (descriptor_ < 0) {
    problem_ = FileProblem::kCannotOpen;
    return false;
  }
  guard_.emplace(temporary_);
  if (exists) {
    // A rename hands the output the new file's owner; where that cannot be the old one, the
    // result is copied into the old file instead, which keeps it.
    const bool owned = existing.st_uid == ::geteuid() && existing.st_gid == ::getegid();
    copyOverExisting_ = !owned && ::fchown(descriptor_, existing.st_uid, existing.st_gid) != 0;
    ::fchmod(descriptor_, mode);
  }
  return true;
}

PendingOutputFile::~PendingOutputFile() {
  Discard();
}

void PendingOutputFile::Discard() {
  if (descriptor_ >= 0) {
    ::close(descriptor_);
    descriptor_ = -1;
    ::unlink(temporary_.c_str());
  }
  guard_.reset();
}

bool PendingOutputFile::Store(std::uint64_t position, std::span<const std::uint8_t> bytes) {
  if (!failed_ && !WriteAllAt(descriptor_, bytes, position)) {
    failed_ = true;
  }
  return !failed_;
}

bool PendingOutputFile::Flush() {
  if (buffered_ == 0) {
    return !failed_;
  }
  const std::size_t count = buffered_;
  buffered_ = 0;
  return Store(bufferStart_, {buffer_.get(), count});
}

bool PendingOutputFile::Write(std::span<const std::uint8_t> bytes) {
  if (descriptor_ < 0 || failed_) {
    return false;
  }
  if (buffered_ + bytes.size() > kWriteBuffer && !Flush()) {
    return false;
  }
  const std::uint64_t position = size_;
  size_ += bytes.size();
  if (bytes.size() >= kWriteBuffer) {
    return Store(position, bytes);
  }
  if (!buffer_) {
    buffer_ = std::make_unique_for_overwrite<std::uint8_t[]>(kWriteBuffer);
  }
  if (buffered_ == 0) {
    bufferStart_ = position;
  }
  std::copy(bytes.begin(), bytes.end(), buffer_.get() + buffered_);
  buffered_ += bytes.size();
  return true;
}

bool PendingOutputFile::WriteAt(std::uint64_t position, std::span<const std::uint8_t> bytes) {
  if (descriptor_ < 0 || position > size_ || bytes.size() > size_ - position) {
    return false;
  }
  const std::uint64_t end = position + bytes.size();
  if (buffered_ > 0 && position >= bufferStart_) {
    // Still in the buffer: changed there.
    std::copy(bytes.begin(), bytes.end(), buffer_.get() + (position - bufferStart_));
    return !failed_;
  }
  if (buffered_ > 0 && end > bufferStart_ && !Flush()) {
    return false;
  }
  return Store(position, bytes);
}

CopyResult PendingOutputFile::CopyFrom(ByteSource& source, std::uint64_t count) {
  CopyResult result;
  auto* file = dynamic_cast<FileSource*>(&source);
  if (file != nullptr && systemCopy_ && count >= kSystemCopyAtLeast && descriptor_ >= 0) {
    if (!Flush()) {
      result.written = false;
      return result;
    }
    const SystemCopy copy = file->CopyInto(descriptor_, size_, count);
    size_ += copy.bytes;
    result.bytes = copy.bytes;
    systemCopy_ = !copy.unavailable;
    if (!copy.stopped) {
      return result;
    }
  }
  // Anything the system did not copy goes through the program, which finds out which side
  // failed if one did.
  const CopyResult rest = ByteSink::CopyFrom(source, count - result.bytes);
  result.bytes += rest.bytes;
  result.written = rest.written;
  return result;
}

bool PendingOutputFile::CopyOverExisting() {
  const int existing = ::open(target_.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC);
  if (existing < 0) {
    return false;
  }
  FileSource result(temporary_);
  std::uint64_t done = 0;
  bool bySystem = true;
  while (result.IsOpen() && done < size_) {
    if (bySystem) {
      const SystemCopy copy = result.CopyInto(existing, done, size_ - done);
      done += copy.bytes;
      if (!copy.stopped) {
        break;
      }
      bySystem = false;
      continue;
    }
    const auto piece = result.Next(kLargestRead);
    if (piece.empty() || !WriteAllAt(existing, piece, done)) {
      break;
    }
    done += piece.size();
  }
  return ::close(existing) == 0 && done == size_;
}

bool PendingOutputFile::Commit() {
  if (descriptor_ < 0 || !Flush()) {
    Discard();
    return false;
  }
  bool stored = ::close(descriptor_) == 0;
  descriptor_ = -1;
  if (stored && copyOverExisting_) {
    stored = CopyOverExisting();
    ::unlink(temporary_.c_str());
  } else if (stored) {
    stored = ::rename(temporary_.c_str(), target_.c_str()) == 0;
  }
  if (!stored) {
    ::unlink(temporary_.c_str());
  }
  guard_.reset();
  return stored;
}

}  // namespace flashtools
