// File-backed sources and sinks. An output is written to a temporary file beside its final
// path and takes that path only when the tool commits it, so a failed or interrupted run never
// leaves a partial file under the output's name and an input may be replaced by its own
// result. Bytes that pass through a tool unchanged are read straight into the output's
// buffer, or copied from file to file by the system where that is faster.
#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>

#include "cleanup/RemoveOnSignal.h"
#include "flashtools/ByteStream.h"
#include "posix/PageBuffer.h"
#include "posix/WriteBehind.h"

namespace flashtools {

// Why a file could not be opened or replaced.
enum class FileProblem {
  kNone,
  kCannotOpen,        // missing, or a reason other than the ones below
  kPermissionDenied,  // the user may not read the input, or write the output or its folder
  kNotRegularFile,    // an output that exists but is not a regular file (a folder, a device)
  kFolder,            // an input that is a folder
};

// What reading a stretch of a file in parts side by side gave: the bytes read in order from
// its start (up to a part that came short) and their sum, and what went wrong on the way.
struct SideBySide {
  std::uint64_t bytes = 0;
  std::uint8_t sum = 0;
  bool readFailed = false;
  bool writeFailed = false;
};

// How far a copy by the system got.
struct SystemCopy {
  std::uint64_t bytes = 0;
  // The system stopped before the input ended; the rest must be copied through the program.
  bool stopped = false;
  // The system cannot copy between these files at all.
  bool unavailable = false;
};

class FileSource final : public ByteSource {
 public:
  explicit FileSource(const std::filesystem::path& path);
  ~FileSource() override;
  FileSource(const FileSource&) = delete;
  FileSource& operator=(const FileSource&) = delete;

  bool IsOpen() const { return descriptor_ >= 0; }
  FileProblem Problem() const { return problem_; }
  std::span<const std::uint8_t> Next(std::size_t limit) override;
  void PutBack(std::size_t count) override { begin_ -= count; }
  std::optional<std::uint64_t> KnownRemaining() const override;
  std::uint64_t SumNext(std::uint64_t count, std::uint8_t& sum) override;
  bool Failed() const override { return failed_; }
  void Close();

  // How much of the next count bytes ReadSideBySide should take: those of a regular file
  // that it held when it was opened, when they are many; else 0.
  std::uint64_t SideBySideStretch(std::uint64_t count) const;
  // Reads up to count bytes from the current position, in parts read by threads side by
  // side, sums them, and writes them into the file open as outputDescriptor at outputOffset
  // unless that is -1; moves the position past the bytes read in order.
  SideBySide ReadSideBySide(std::uint64_t count, int outputDescriptor, std::uint64_t outputOffset);

  // The input position, and how many bytes past it the buffer holds.
  std::uint64_t Position() const { return offset_ - (end_ - begin_); }
  std::size_t Held() const { return end_ - begin_; }
  // With nothing held, reads up to into.size() bytes straight into into; the number read, 0
  // at the end or after a failure.
  std::size_t ReadInto(std::span<std::uint8_t> into);
  // Has the system copy up to count bytes from the current position into the file open as
  // outputDescriptor, at outputOffset, and moves the position past them.
  SystemCopy CopyInto(int outputDescriptor, std::uint64_t outputOffset, std::uint64_t count);

 private:
  bool Refill();
  // Whether a regular file ended before the size it had when it was opened: it was cut short
  // while being read (truncated, or written anew), which fails the read rather than ending the
  // input, so no tool takes part of a file for all of it.
  bool EndsBeforeOpenedSize() const { return seekable_ && offset_ < size_; }

  int descriptor_ = -1;
  FileProblem problem_ = FileProblem::kNone;
  bool seekable_ = false;
  std::uint64_t size_ = 0;  // at opening; meaningful when seekable
  PageBuffer buffer_;
  std::size_t begin_ = 0;     // next byte to hand out
  std::size_t end_ = 0;       // end of what the buffer holds
  std::uint64_t offset_ = 0;  // file offset of buffer_[end_]
  std::size_t nextRead_;
  bool failed_ = false;
};

class PendingOutputFile final : public ByteSink {
 public:
  explicit PendingOutputFile(const std::filesystem::path& path);
  ~PendingOutputFile() override;
  PendingOutputFile(const PendingOutputFile&) = delete;
  PendingOutputFile& operator=(const PendingOutputFile&) = delete;

  bool IsOpen() const { return descriptor_ >= 0; }
  FileProblem Problem() const { return problem_; }
  bool Write(std::span<const std::uint8_t> bytes) override;
  bool WriteAt(std::uint64_t position, std::span<const std::uint8_t> bytes) override;
  std::uint64_t Position() const override { return size_; }
  CopyResult CopyFrom(ByteSource& source, std::uint64_t count) override;
  CopyResult CopyAndSum(ByteSource& source, std::uint64_t count, std::uint8_t& sum) override;

  // Puts the result under the output's name, replacing what was there with its mode and
  // owner kept. False, with the temporary file removed, when anything written could not be
  // stored.
  bool Commit();

 private:
  bool Open(const std::filesystem::path& path);
  bool Flush();
  // Waits for the buffer on its way to the file; false when it or an earlier one failed.
  bool Settle();
  // Everything written so far is in the file: before the file is written by other means.
  bool Drain();
  bool Store(std::uint64_t position, std::span<const std::uint8_t> bytes);
  bool CopyOverExisting();
  void Discard();

  std::filesystem::path target_;
  std::filesystem::path temporary_;
  std::optional<cleanup::RemoveOnSignal> guard_;
  int descriptor_ = -1;
  FileProblem problem_ = FileProblem::kNone;
  bool replacesFile_ = false;
  // The existing output's owner cannot be given to a new file: the result is copied into it.
  bool copyOverExisting_ = false;
  PageBuffer buffer_;
  std::size_t buffered_ = 0;
  std::uint64_t bufferStart_ = 0;
  std::uint64_t size_ = 0;
  bool failed_ = false;
  bool systemCopy_ = true;
  // A full buffer goes to the file on a thread of its own while the spare one fills.
  PageBuffer spare_;
  WriteBehind writeBehind_;  // after the buffers: ends before them
};

}  // namespace flashtools
