// Writing and sealing command frames of any code, for the builder, for tools that rewrite
// captured frames and for tests that compose streams.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

namespace protocol {

// Writes the frame for code, number and parameters into buffer, which must hold
// FrameSize(parameters.size()) bytes, and returns that size. The parameter count must fit the
// 16-bit length field.
std::size_t WriteFrame(std::uint8_t* buffer, std::uint8_t code, std::uint8_t number,
                       std::span<const std::uint8_t> parameters);

// Recomputes the last byte of a complete frame as the sum of all bytes before it.
void SealFrame(std::span<std::uint8_t> frame);

// Little-endian stores and loads of frame fields.
void StoreU16(std::uint8_t* at, std::uint16_t value);
void StoreU32(std::uint8_t* at, std::uint32_t value);
std::uint16_t LoadU16(const std::uint8_t* at);
std::uint32_t LoadU32(const std::uint8_t* at);

}  // namespace protocol
