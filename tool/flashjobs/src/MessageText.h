// Fills the placeholders of the message texts: each text holds the printf-style markers of
// the original messages, replaced here in order, so the texts stay as they are written.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace flashjobs {

// The first "%d" replaced by the value in decimal.
std::string WithDecimal(std::string_view text, int value);
// The first "%llu" replaced by the value in decimal.
std::string WithUnsigned(std::string_view text, std::uint64_t value);
// The first "%02x" replaced by the value as two lower-case hexadecimal digits.
std::string WithHexByte(std::string_view text, std::uint8_t value);
// Each "%C" replaced by the next byte as one character. A zero byte gives no character (it
// would end the text where the text is a C string); a byte that is not printable ASCII
// gives '?', so that outside bytes never reach a terminal as control sequences.
std::string WithCharacters(std::string_view text, std::span<const std::uint8_t> characters);

}  // namespace flashjobs
