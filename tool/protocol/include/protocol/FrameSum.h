// The 8-bit wrap-around sum used by command frames, data files and the flash write's
// trailing byte.
#pragma once

#include <cstddef>
#include <cstdint>

namespace protocol {

// Low 8 bits of start + the sum of count unsigned bytes. A non-zero start continues a sum
// taken over earlier bytes, so a long input can be summed piece by piece.
std::uint8_t FrameSum(const std::uint8_t* bytes, std::size_t count, std::uint8_t start = 0);

}  // namespace protocol
