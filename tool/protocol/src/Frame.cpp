#include "protocol/Frame.h"

#include <algorithm>

#include "protocol/CommandCodes.h"
#include "protocol/FrameSum.h"

namespace protocol {

std::size_t WriteFrame(std::uint8_t* buffer, std::uint8_t code, std::uint8_t number,
                       std::span<const std::uint8_t> parameters) {
  buffer[0] = kLeadByte;
  buffer[kCodeOffset] = code;
  buffer[kNumberOffset] = number;
  StoreU16(buffer + kLengthOffset, static_cast<std::uint16_t>(parameters.size()));
  buffer[kComplementOffset] = static_cast<std::uint8_t>(0xFF - code);
  std::copy(parameters.begin(), parameters.end(), buffer + kHeadSize);
  const std::size_t size = FrameSize(parameters.size());
  SealFrame({buffer, size});
  return size;
}

void SealFrame(std::span<std::uint8_t> frame) {
  frame.back() = FrameSum(frame.data(), frame.size() - 1);
}

void StoreU16(std::uint8_t* at, std::uint16_t value) {
  at[0] = static_cast<std::uint8_t>(value);
  at[1] = static_cast<std::uint8_t>(value >> 8U);
}

void StoreU32(std::uint8_t* at, std::uint32_t value) {
  for (int i = 0; i < 4; ++i) {
    at[i] = static_cast<std::uint8_t>(value >> (8U * static_cast<unsigned>(i)));
  }
}

std::uint16_t LoadU16(const std::uint8_t* at) {
  return static_cast<std::uint16_t>(at[0] | (at[1] << 8U));
}

std::uint32_t LoadU32(const std::uint8_t* at) {
  return static_cast<std::uint32_t>(at[0]) | (static_cast<std::uint32_t>(at[1]) << 8U) |
         (static_cast<std::uint32_t>(at[2]) << 16U) | (static_cast<std::uint32_t>(at[3]) << 24U);
}

}  // namespace protocol
