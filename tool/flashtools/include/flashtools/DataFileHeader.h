// The data file container: a 256-byte DataFileHeader, the payload and one FileSum byte, the
// 8-bit sum of the stored header and the payload. Multi-byte fields are little-endian.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

namespace flashtools {

struct DataFileHeader {
  static constexpr std::size_t kSize = 256;

  std::array<char, 4> Signature{};
  std::uint8_t TypeFlags = 0;
  std::uint8_t TargetCode = 0;
  std::uint32_t PayloadLength = 0;
  std::uint32_t LoadParameter = 0;
  std::uint8_t Ident1 = 0;
  std::uint8_t Ident2 = 0;
  std::uint8_t Options = 0;
};

namespace header_offset {
inline constexpr std::size_t kSignature = 0;
inline constexpr std::size_t kTypeFlags = 4;
inline constexpr std::size_t kTargetCode = 5;
inline constexpr std::size_t kPayloadLength = 6;
inline constexpr std::size_t kLoadParameter = 10;
inline constexpr std::size_t kIdent1 = 16;
inline constexpr std::size_t kIdent2 = 17;
inline constexpr std::size_t kOptions = 18;
}  // namespace header_offset

inline constexpr std::array<char, 4> kDataFileSignature{'V', 'D', 'L', '1'};
// TypeFlags bit that marks demo print data (clear: firmware data).
inline constexpr std::uint8_t kDemoPrintDataBit = 0x40;

// Size of a data file holding payloadLength payload bytes.
constexpr std::uint64_t DataFileSize(std::uint32_t payloadLength) {
  return DataFileHeader::kSize + std::uint64_t{payloadLength} + 1;
}

DataFileHeader ParseDataFileHeader(std::span<const std::uint8_t, DataFileHeader::kSize> bytes);

// The 256 stored bytes of header; bytes outside the named fields are 0.
std::array<std::uint8_t, DataFileHeader::kSize> SerialiseDataFileHeader(
    const DataFileHeader& header);

// The header that header addition gives a payload of payloadLength bytes.
DataFileHeader HeaderForAddedPayload(std::uint32_t payloadLength);

}  // namespace flashtools
