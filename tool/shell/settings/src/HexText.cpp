#include "settings/HexText.h"

#include <optional>

#include "settings/ProfileFile.h"

namespace settings {
namespace {

std::optional<std::uint32_t> HexDigit(char c) {
  if (c >= '0' && c <= '9') {
    return static_cast<std::uint32_t>(c - '0');
  }
  if (c >= 'A' && c <= 'F') {
    return static_cast<std::uint32_t>(c - 'A' + 10);
  }
  if (c >= 'a' && c <= 'f') {
    return static_cast<std::uint32_t>(c - 'a' + 10);
  }
  return std::nullopt;
}

// The value of the leading hexadecimal digits among the first maxDigits characters.
std::uint32_t LeadingHex(std::string_view text, std::size_t maxDigits) {
  std::uint32_t value = 0;
  for (const char c : text.substr(0, maxDigits)) {
    const auto digit = HexDigit(c);
    if (!digit) {
      break;
    }
    value = (value << 4U) | *digit;
  }
  return value;
}

}  // namespace

std::uint16_t ParseHex4(std::string_view text) {
  return static_cast<std::uint16_t>(LeadingHex(text, 4));
}

std::uint8_t ParseMachineId(std::string_view text) {
  return static_cast<std::uint8_t>(LeadingHex(text, 8) & 0xFFU);
}

std::uint8_t ReadMachineId(const ProfileFile& file) {
  constexpr std::size_t kLongestText = 255;
  return ParseMachineId(file.ReadString("StartJob", "MachineID", "FF", kLongestText));
}

}  // namespace settings
