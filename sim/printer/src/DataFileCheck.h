// What the printer checks in the data stream that follows Download Firmware: the data file
// (256-byte header, payload, file sum) and the trailing byte, the sum of every file byte.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

namespace sim::printer {

inline constexpr std::size_t kDataFileHeaderSize = 256;
// The smallest data stream that can hold a data file: the header, the file sum, the trailing
// sum byte.
inline constexpr std::size_t kSmallestStream = kDataFileHeaderSize + 2;

inline constexpr std::uint8_t kStreamAccepted = 0;

// The flash status code for a received stream: kStreamAccepted when it may be written, else the
// error the printer reports (header, size, sum, size over).
std::uint8_t CheckDataStream(std::span<const std::uint8_t> stream, std::size_t flashBytes);

// The payload of a stream that passed the check.
std::span<const std::uint8_t> PayloadOf(std::span<const std::uint8_t> stream);

}  // namespace sim::printer
