#include "../FileStreams.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <optional>
#include <string>

#include "FileIo.h"
#include "PartReader.h"
#include "cleanup/DurableRename.h"
#include "protocol/FrameSum.h"

namespace flashtools {
namespace {

// Reads start small and double up to kLargestRead while the bytes they bring are used: a
// sequential reader soon gets large blocks, and after a stretch taken past the buffer (band
// data), the frame that follows costs a small read.
constexpr std::size_t kFirstRead = 4096;
constexpr std::size_t kLargestRead = kSumReadSize;
// Writes smaller than this are gathered before they go to the file: the system stores large
// writes faster, whatever their place in the file.
constexpr std::size_t kWriteBuffer = std::size_t{1} << 20;
// A buffer at least this full is written while the program goes on; a smaller one (the last,
// or one flushed before a write elsewhere in the file) is written at once.
constexpr std::size_t kWriteBehindAtLeast = kWriteBuffer / 2;
// Longer stretches are read in parts side by side.
constexpr std::uint64_t kSideBySideAtLeast = std::uint64_t{1} << 20;
// The system copies between files fast only where both places lie alike within a page (it
// then moves whole pages); elsewhere, and for short copies, going through the write buffer is
// faster.
constexpr std::uint64_t kSystemCopyAtLeast = std::uint64_t{64} << 10;
constexpr std::uint64_t kPageSize = 4096;
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

// A link another user put into a shared folder such as /tmp (sticky and writable by all) is
// not followed, as the system itself refuses for its own opens: it could make this user, or
// root, write a file anywhere the link points.
bool PlantedLink(const std::filesystem::path& link) {
  struct stat linkStatus {};
  struct stat folderStatus {};
  const std::filesystem::path folder = link.has_parent_path() ? link.parent_path() : ".";
  if (::lstat(link.c_str(), &linkStatus) != 0 || ::stat(folder.c_str(), &folderStatus) != 0) {
    return false;
  }
  const bool shared =
      (folderStatus.st_mode & S_ISVTX) != 0 && (folderStatus.st_mode & S_IWOTH) != 0;
  return shared && linkStatus.st_uid != ::geteuid() && linkStatus.st_uid != folderStatus.st_uid;
}

// The file a path names through its symbolic links, which need not exist yet; the path
// itself where the links go round in a circle or cannot be read; nothing for a planted link.
std::optional<std::filesystem::path> FollowLinks(const std::filesystem::path& path) {
  constexpr int kMostLinks = 40;
  std::error_code error;
  std::filesystem::path at = path;
  for (int hop = 0; hop < kMostLinks && std::filesystem::is_symlink(at, error); ++hop) {
    if (PlantedLink(at)) {
      return std::nullopt;
    }
    const std::filesystem::path next = std::filesystem::read_symlink(at, error);
    if (error) {
      return path;
    }
    at = next.is_absolute() ? next : at.parent_path() / next;
  }
  return std::filesystem::is_symlink(at, error) ? path : at;
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
    problem_ = S_ISDIR(status.st_mode) ? FileProblem::kFolder : FileProblem::kCannotOpen;
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
  if (limit == 0 || (begin_ == end_ && !Refill())) {
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
    buffer_ = MakePageBuffer(kLargestRead);
  }
  const ssize_t got = ReadAt(descriptor_, buffer_.get(), nextRead_, offset_, seekable_);
  if (got <= 0) {
    failed_ = got < 0 || EndsBeforeOpenedSize();
    return false;
  }
  begin_ = 0;
  end_ = static_cast<std::size_t>(got);
  offset_ += end_;
  nextRead_ = std::min(nextRead_ * 2, kLargestRead);
  return true;
}

std::uint64_t FileSource::SideBySideStretch(std::uint64_t count) const {
  if (descriptor_ < 0 || !seekable_ || failed_) {
    return 0;
  }
  const std::uint64_t stretch = std::min(count, *KnownRemaining());
  return stretch >= kSideBySideAtLeast ? stretch : 0;
}

SideBySide FileSource::ReadSideBySide(std::uint64_t count, int outputDescriptor,
                                      std::uint64_t outputOffset) {
  SideBySide result;
  // What the buffer still holds comes first.
  const auto buffered = Next(static_cast<std::size_t>(std::min<std::uint64_t>(count, Held())));
  result.sum = protocol::FrameSum(buffered.data(), buffered.size());
  result.bytes = buffered.size();
  if (outputDescriptor >= 0 && !WriteAllAt(outputDescriptor, buffered, outputOffset)) {
    result.writeFailed = true;
    return result;
  }
  const SideBySide rest = ReadInParts(descriptor_, offset_, count - result.bytes, outputDescriptor,
                                      outputOffset + result.bytes);
  offset_ += rest.bytes;
  failed_ = rest.readFailed || (rest.bytes < count - result.bytes && EndsBeforeOpenedSize());
  result.bytes += rest.bytes;
  result.sum = static_cast<std::uint8_t>(result.sum + rest.sum);
  result.readFailed = rest.readFailed;
  result.writeFailed = rest.writeFailed;
  return result;
}

// The file's size when it was opened is read side by side; whatever it grew by since, in order.
std::uint64_t FileSource::SumNext(std::uint64_t count, std::uint8_t& sum) {
  const std::uint64_t stretch = SideBySideStretch(count);
  std::uint64_t taken = 0;
  if (stretch > 0) {
    const SideBySide read = ReadSideBySide(stretch, -1, 0);
    sum = static_cast<std::uint8_t>(sum + read.sum);
    taken = read.bytes;
    if (taken < stretch) {
      return taken;
    }
  }
  return taken + ByteSource::SumNext(count - taken, sum);
}

std::size_t FileSource::ReadInto(std::span<std::uint8_t> into) {
  if (descriptor_ < 0 || failed_ || begin_ != end_ || into.empty()) {
    return 0;
  }
  const long got = ReadAt(descriptor_, into.data(), into.size(), offset_, seekable_);
  if (got <= 0) {
    failed_ = got < 0 || EndsBeforeOpenedSize();
    return 0;
  }
  offset_ += static_cast<std::uint64_t>(got);
  // What comes next (a frame) is read in small steps again.
  nextRead_ = kFirstRead;
  return static_cast<std::size_t>(got);
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
  failed_ = !copy.stopped && copy.bytes < count && EndsBeforeOpenedSize();
  return copy;
}

PendingOutputFile::PendingOutputFile(const std::filesystem::path& path) {
  if (!Open(path)) {
    Discard();
  }
}

bool PendingOutputFile::Open(const std::filesystem::path& path) {
  // No name is no file: without this the temporary file went into the current folder, took a
  // whole copy, and only the rename at the end failed.
  if (path.empty()) {
    problem_ = FileProblem::kCannotOpen;
    return false;
  }
  // Through a symbolic link the file it names is replaced (or made), and the link kept.
  const auto followed = FollowLinks(path);
  if (!followed) {
    problem_ = FileProblem::kPermissionDenied;
    return false;
  }
  target_ = *followed;
  struct stat existing {};
  const bool exists = ::stat(target_.c_str(), &existing) == 0;
  if (!exists && errno != ENOENT) {
    problem_ = ProblemOf(errno);
    return false;
  }
  // A link the system resolves itself, such as /dev/stdout to a pipe, names nothing that could
  // be followed by path; the system then tells what it is.
  struct stat named {};
  const bool notRegular = exists ? !S_ISREG(existing.st_mode)
                                 : ::stat(path.c_str(), &named) == 0 && !S_ISREG(named.st_mode);
  if (notRegular) {
    problem_ = FileProblem::kNotRegularFile;
    return false;
  }
  // Replacing needs only the folder's permission; a file the user may not write is kept.
  if (exists && ::faccessat(AT_FDCWD, target_.c_str(), W_OK, AT_EACCESS) != 0) {
    problem_ = ProblemOf(errno);
    return false;
  }

  const mode_t mode = exists ? (existing.st_mode & 0777) : 0666;
  // A name near the file system's limit leaves no room for the suffix: the temporary file then
  // gets a short name of its own in the same folder.
  std::filesystem::path stem = target_;
  // A signal between making the temporary file and guarding it would leave the file behind.
  const cleanup::HoldSignals guardFirst;
  for (int attempt = 0; attempt <= 1000 && descriptor_ < 0; ++attempt) {
    temporary_ = stem;
    temporary_ += ".partial" + (attempt == 0 ? std::string() : std::to_string(attempt));
    descriptor_ = ::open(temporary_.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, mode);
    if (descriptor_ < 0 && errno == ENAMETOOLONG && stem == target_) {
      stem = target_.parent_path() / ".zarnik";
      attempt = -1;
      continue;
    }
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
  replacesFile_ = exists;
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
    writeBehind_.Wait();
    ::close(descriptor_);
    descriptor_ = -1;
    ::unlink(temporary_.c_str());
  }
  guard_.reset();
}

bool PendingOutputFile::Settle() {
  if (!writeBehind_.Wait()) {
    failed_ = true;
  }
  return !failed_;
}

bool PendingOutputFile::Drain() {
  return Flush() && Settle();
}

bool PendingOutputFile::Store(std::uint64_t position, std::span<const std::uint8_t> bytes) {
  // Whatever is on its way to the file gets there first.
  if (Settle() && !WriteAllAt(descriptor_, bytes, position)) {
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
  if (count >= kWriteBehindAtLeast && Settle()) {
    if (!spare_) {
      spare_ = MakePageBuffer(kWriteBuffer);
    }
    if (writeBehind_.Start(descriptor_, {buffer_.get(), count}, bufferStart_)) {
      std::swap(buffer_, spare_);
      return true;
    }
  }
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
    buffer_ = MakePageBuffer(kWriteBuffer);
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
  auto* file = dynamic_cast<FileSource*>(&source);
  if (file == nullptr || descriptor_ < 0) {
    return ByteSink::CopyFrom(source, count);
  }
  CopyResult result;
  // What the source has read already, then the rest straight from the file.
  const auto held =
      source.Next(static_cast<std::size_t>(std::min<std::uint64_t>(count, file->Held())));
  if (!Write(held)) {
    result.written = false;
    return result;
  }
  result.bytes = held.size();
  if (systemCopy_ && count - result.bytes >= kSystemCopyAtLeast &&
      file->Position() % kPageSize == size_ % kPageSize) {
    if (!Drain()) {
      result.written = false;
      return result;
    }
    const SystemCopy copy = file->CopyInto(descriptor_, size_, count - result.bytes);
    size_ += copy.bytes;
    result.bytes += copy.bytes;
    systemCopy_ = !copy.unavailable;
    if (!copy.stopped) {
      return result;
    }
  }
  // Read into the write buffer, which goes to the file in large writes.
  while (result.bytes < count) {
    if (buffered_ == kWriteBuffer && !Flush()) {
      result.written = false;
      break;
    }
    if (!buffer_) {
      buffer_ = MakePageBuffer(kWriteBuffer);
    }
    if (buffered_ == 0) {
      bufferStart_ = size_;
    }
    const auto want = static_cast<std::size_t>(
        std::min<std::uint64_t>(count - result.bytes, kWriteBuffer - buffered_));
    const std::size_t got = file->ReadInto({buffer_.get() + buffered_, want});
    if (got == 0) {
      break;
    }
    buffered_ += got;
    size_ += got;
    result.bytes += got;
  }
  return result;
}

CopyResult PendingOutputFile::CopyAndSum(ByteSource& source, std::uint64_t count,
                                         std::uint8_t& sum) {
  auto* file = dynamic_cast<FileSource*>(&source);
  const std::uint64_t stretch = file != nullptr ? file->SideBySideStretch(count) : 0;
  CopyResult result;
  if (stretch > 0 && descriptor_ >= 0) {
    if (!Drain()) {
      result.written = false;
      return result;
    }
    const SideBySide copy = file->ReadSideBySide(stretch, descriptor_, size_);
    size_ += copy.bytes;
    sum = static_cast<std::uint8_t>(sum + copy.sum);
    result.bytes = copy.bytes;
    result.written = !copy.writeFailed;
    failed_ = failed_ || copy.writeFailed;
    if (copy.bytes < stretch || !result.written) {
      return result;
    }
  }
  // Whatever the file grew by since it was opened, or all of an input of another kind.
  const CopyResult rest = ByteSink::CopyAndSum(source, count - result.bytes, sum);
  result.bytes += rest.bytes;
  result.written = rest.written;
  return result;
}

bool PendingOutputFile::CopyOverExisting() {
  // The open does not wait for a reader when a FIFO was put in the file's place; only the
  // regular file is written over.
  const int existing = ::open(target_.c_str(), O_WRONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
  if (existing < 0) {
    return false;
  }
  struct stat status {};
  if (::fstat(existing, &status) != 0 || !S_ISREG(status.st_mode)) {
    ::close(existing);
    return false;
  }
  // The space is reserved first, so a full disk stops the copy before the old contents change;
  // the file is cut to the new size at the end.
  const int reserved = size_ > 0 ? ::posix_fallocate(existing, 0, static_cast<off_t>(size_)) : 0;
  if (reserved != 0 && reserved != EOPNOTSUPP && reserved != EINVAL) {
    ::close(existing);
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
  const bool complete = done == size_ && ::ftruncate(existing, static_cast<off_t>(size_)) == 0 &&
                        ::fdatasync(existing) == 0;
  return ::close(existing) == 0 && complete;
}

bool PendingOutputFile::Commit() {
  if (descriptor_ < 0 || !Drain()) {
    Discard();
    return false;
  }
  // Parts copied side by side may have gone on past one that came short. A result that
  // replaces a file is on the disk before it does, so a power cut leaves the old file or the
  // new one, never an empty one in place of the old.
  // (A result copied into the old file is flushed there instead.)
  bool stored = ::ftruncate(descriptor_, static_cast<off_t>(size_)) == 0 &&
                (!replacesFile_ || copyOverExisting_ || ::fdatasync(descriptor_) == 0);
  stored = ::close(descriptor_) == 0 && stored;
  descriptor_ = -1;
  // An interrupt from here on would leave the old file half overwritten: it waits until the
  // output is whole.
  const cleanup::HoldSignals finishFirst;
  if (stored && copyOverExisting_) {
    stored = CopyOverExisting();
    ::unlink(temporary_.c_str());
  } else if (stored) {
    // A replaced file's new name is on the disk too: after a power cut the old file does not
    // come back in place of the one said to be made.
    stored = replacesFile_ ? cleanup::RenameDurably(temporary_, target_)
                           : ::rename(temporary_.c_str(), target_.c_str()) == 0;
  }
  if (!stored) {
    ::unlink(temporary_.c_str());
  }
  guard_.reset();
  return stored;
}

}  // namespace flashtools
