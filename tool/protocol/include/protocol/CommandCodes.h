// Command codes of the printer's host protocol and the fixed layout of a command frame.
#pragma once

#include <cstddef>
#include <cstdint>

namespace protocol {

namespace code {
inline constexpr std::uint8_t kStartJob = 0x40;
inline constexpr std::uint8_t kEndJob = 0x41;
inline constexpr std::uint8_t kSetJobInformation = 0x50;
inline constexpr std::uint8_t kSetPageInformation = 0x51;
inline constexpr std::uint8_t kSendBand = 0x52;
inline constexpr std::uint8_t kEndPrintData = 0x55;
inline constexpr std::uint8_t kRequestStatus = 0x60;
inline constexpr std::uint8_t kDownloadFirmware = 0x70;
inline constexpr std::uint8_t kExecuteFlashWrite = 0x73;
}  // namespace code

// Frame layout: lead byte, code, number, 16-bit parameter length, code complement, the
// parameters, then one sum byte.
inline constexpr std::uint8_t kLeadByte = 0x1B;
inline constexpr std::size_t kCodeOffset = 1;
inline constexpr std::size_t kNumberOffset = 2;
inline constexpr std::size_t kLengthOffset = 3;
inline constexpr std::size_t kComplementOffset = 5;
inline constexpr std::size_t kHeadSize = 6;

// Total size of a frame with parameterCount parameter bytes.
constexpr std::size_t FrameSize(std::size_t parameterCount) {
  return parameterCount + kHeadSize + 1;
}

}  // namespace protocol
