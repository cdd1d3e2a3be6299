// The command-number byte shared by the command panel and the tools that send jobs: 0 in the
// Start Job of a job, raised by one (modulo 256) before each later frame.
#pragma once

#include <cstdint>

namespace protocol {

constexpr std::uint8_t NextCommandNumber(std::uint8_t number) {
  return static_cast<std::uint8_t>(number + 1U);
}

// Raises the byte to the number of the next frame and returns that number.
constexpr std::uint8_t RaiseCommandNumber(std::uint8_t& number) {
  number = NextCommandNumber(number);
  return number;
}

}  // namespace protocol
