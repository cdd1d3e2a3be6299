// The printer's own reader of command frames: lead byte 0x1B, command code, number, 16-bit
// parameter length, code complement, parameters and the 8-bit sum of everything before it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

namespace sim::printer {

inline constexpr std::uint8_t kLeadByte = 0x1B;
inline constexpr std::size_t kHeadSize = 6;

inline constexpr std::uint8_t kStartJob = 0x40;
inline constexpr std::uint8_t kEndJob = 0x41;
inline constexpr std::uint8_t kRequestStatus = 0x60;
inline constexpr std::uint8_t kDownloadFirmware = 0x70;
inline constexpr std::uint8_t kExecuteFlashWrite = 0x73;
// Download Firmware, with its 12 parameter bytes, is the longest frame the printer knows.
inline constexpr std::size_t kLongestFrame = kHeadSize + 12 + 1;

// The parameter length of a command the printer knows; none for any other code.
std::optional<std::size_t> ParameterLength(std::uint8_t code);

std::uint8_t ByteSum(std::span<const std::uint8_t> bytes);

struct Scan {
  enum class Kind {
    kNeedMore,   // what is there may begin a frame; wait for more bytes
    kFrame,      // a whole, well-formed frame of `length` bytes
    kNotAFrame,  // the first byte cannot begin a frame
    kBadSum,     // a frame head of a known command whose sum is wrong; `length` bytes long
  };
  Kind kind;
  std::size_t length;
};

// Looks at the bytes from the start of `bytes`. Only known commands with their own parameter
// length and a matching complement count as a frame head, so data bytes are rarely mistaken
// for one.
Scan ScanFrame(std::span<const std::uint8_t> bytes);

}  // namespace sim::printer
