#include "protocol/FrameSum.h"

namespace protocol {

std::uint8_t FrameSum(const std::uint8_t* bytes, std::size_t count, std::uint8_t start) {
  // A 32-bit accumulator lets the compiler vectorise the loop; it may wrap, and since 256
  // divides 2^32 its low 8 bits stay the 8-bit sum.
  std::uint32_t sum = start;
  for (std::size_t i = 0; i < count; ++i) {
    sum += bytes[i];
  }
  return static_cast<std::uint8_t>(sum);
}

}  // namespace protocol
