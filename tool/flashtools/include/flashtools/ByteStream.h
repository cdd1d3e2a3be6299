// Where the file tools read their input and write their output: a file, or memory in tests
// and fuzz targets. Inputs are read piece by piece, so no tool holds a whole input.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace flashtools {

// How much of an input the tools read at a time.
inline constexpr std::size_t kStreamChunkSize = std::size_t{1} << 20;

class ByteSource {
 public:
  ByteSource() = default;
  ByteSource(const ByteSource&) = delete;
  ByteSource& operator=(const ByteSource&) = delete;
  virtual ~ByteSource() = default;

  // Reads up to into.size() bytes and returns how many arrived; 0 at the end of the input or
  // after a read failure.
  virtual std::size_t Read(std::span<std::uint8_t> into) = 0;
  // Whether reading stopped because of a failure rather than the end of the input.
  virtual bool Failed() const = 0;
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
};

// Fills into as far as the source allows and returns the number of bytes read.
std::size_t ReadFully(ByteSource& source, std::span<std::uint8_t> into);

class MemorySource final : public ByteSource {
 public:
  explicit MemorySource(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}
  std::size_t Read(std::span<std::uint8_t> into) override;
  bool Failed() const override { return false; }

 private:
  std::span<const std::uint8_t> bytes_;
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
