// What the printer checks in the data stream that follows Download Firmware: the data file
// (256-byte header, payload, file sum) and the trailing byte, the sum of every file byte. The
// stream is checked as it arrives; only the payload is kept, in the printer's receive memory.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

namespace sim::printer {

inline constexpr std::size_t kDataFileHeaderSize = 256;
// The smallest data stream that can hold a data file: the header, the file sum, the trailing
// sum byte.
inline constexpr std::size_t kSmallestStream = kDataFileHeaderSize + 2;

inline constexpr std::uint8_t kStreamAccepted = 0;

class StreamCheck {
 public:
  // A stream of size bytes is announced for a flash of flashBytes; its payload goes into
  // memory (at least flashBytes long) when the file fits the flash.
  void Begin(std::size_t size, std::span<std::uint8_t> memory, std::size_t flashBytes);
  // The next bytes of the stream, no more than are still expected.
  void Take(std::span<const std::uint8_t> bytes);

  std::size_t Size() const { return size_; }
  std::size_t Taken() const { return taken_; }
  bool Complete() const { return taken_ == size_; }
  // For a complete stream: kStreamAccepted when it may be written, else the flash status code
  // of the error the printer reports (header, size, sum, size over).
  std::uint8_t Verdict() const;
  // The payload of an accepted stream.
  std::span<const std::uint8_t> Payload() const;

 private:
  void TakeHeader(std::span<const std::uint8_t> bytes);

  std::array<std::uint8_t, kDataFileHeaderSize> header_{};
  std::span<std::uint8_t> memory_;
  std::size_t size_ = 0;
  std::size_t taken_ = 0;
  std::size_t flashBytes_ = 0;
  bool keep_ = false;
  std::uint64_t payloadLength_ = 0;
  std::uint64_t fileSumOffset_ = 0;  // known once the header is in
  std::uint8_t sumBeforeFileSum_ = 0;
  std::uint8_t storedFileSum_ = 0;
  std::uint8_t sumOfFile_ = 0;  // every byte but the trailing one
  std::uint8_t trailer_ = 0;
};

}  // namespace sim::printer
