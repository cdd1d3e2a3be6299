// Where the file tools read their input and write their output: a file, or memory in tests
// and fuzz targets. A source hands out views of its bytes (of its own read buffer, or of the
// memory itself), so no tool keeps a buffer of its own and none holds a whole input.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace flashtools {

class ByteSource {
 public:
  ByteSource() = default;
  ByteSource(const ByteSource&) = delete;
  ByteSource& operator=(const ByteSource&) = delete;
  virtual ~ByteSource() = default;

  // Takes the next bytes of the input, at most limit of them, and returns a view of them that
  // stays valid until the next call on the source. Empty for a limit of 0, at the end of the
  // input and after a read failure.
  virtual std::span<const std::uint8_t> Next(std::size_t limit) = 0;
  // Gives back the last count bytes of the view Next returned last (count at most its size):
  // they come first again.
  virtual void PutBack(std::size_t count) = 0;
  // How many bytes are left, when that is known before reading them.
  virtual std::optional<std::uint64_t> KnownRemaining() const = 0;
  // Takes up to count bytes and adds them to sum (the 8-bit sum of the data files); returns
  // how many it took, fewer at the end of the input or after a read failure. This one sums
  // what Next hands out; a file reads several parts side by side.
  virtual std::uint64_t SumNext(std::uint64_t count, std::uint8_t& sum);
  // Whether reading stopped because of a failure rather than the end of the input.
  virtual bool Failed() const = 0;
};

// What ByteSink::CopyFrom moved: fewer bytes than asked when the input ended or failed, or
// when the output could not be written (written false).
struct CopyResult {
  std::uint64_t bytes = 0;
  bool written = true;
};

class ByteSink {
 public:
  ByteSink() = default;
  ByteSink(const ByteSink&) = delete;
  ByteSink& operator=(const ByteSink&) = delete;
  virtual ~ByteSink() = default;

  // Appends bytes; false when they could not be written.
  virtual bool Write(std::span<const std::uint8_t> bytes) = 0;
  // Overwrites bytes written earlier, starting at position; false when they could not be
  // written or lie beyond what was written.
  virtual bool WriteAt(std::uint64_t position, std::span<const std::uint8_t> bytes) = 0;
  // Number of bytes written so far.
  virtual std::uint64_t Position() const = 0;
  // Appends the next count bytes of source. This one passes them through Next and Write; a
  // sink that can have the system copy between files does so.
  virtual CopyResult CopyFrom(ByteSource& source, std::uint64_t count);
  // Appends up to count bytes of source, as CopyFrom, and adds them to sum. This one passes
  // them through Next and Write; between files, several parts are copied side by side.
  virtual CopyResult CopyAndSum(ByteSource& source, std::uint64_t count, std::uint8_t& sum);
};

// Fills into as far as the source allows and returns the number of bytes read.
std::size_t ReadFully(ByteSource& source, std::span<std::uint8_t> into);

class MemorySource final : public ByteSource {
 public:
  explicit MemorySource(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}
  std::span<const std::uint8_t> Next(std::size_t limit) override;
  void PutBack(std::size_t count) override { next_ -= count; }
  std::optional<std::uint64_t> KnownRemaining() const override { return bytes_.size() - next_; }
  bool Failed() const override { return false; }

 private:
  std::span<const std::uint8_t> bytes_;
  std::size_t next_ = 0;
};

class MemorySink final : public ByteSink {
 public:
  bool Write(std::span<const std::uint8_t> bytes) override;
  bool WriteAt(std::uint64_t position, std::span<const std::uint8_t> bytes) override;
  std::uint64_t Position() const override { return bytes_.size(); }
  const std::vector<std::uint8_t>& Bytes() const { return bytes_; }

 private:
  std::vector<std::uint8_t> bytes_;
};

}  // namespace flashtools
