#include "MessageText.h"

namespace flashjobs {
namespace {

std::string Replaced(std::string_view text, std::string_view marker, std::string_view value) {
  std::string result(text);
  const auto at = result.find(marker);
  if (at != std::string::npos) {
    result.replace(at, marker.size(), value);
  }
  return result;
}

bool IsPrintable(std::uint8_t byte) {
  return byte >= 0x20 && byte < 0x7F;
}

}  // namespace

std::string WithDecimal(std::string_view text, int value) {
  return Replaced(text, "%d", std::to_string(value));
}

std::string WithUnsigned(std::string_view text, std::uint64_t value) {
  return Replaced(text, "%llu", std::to_string(value));
}

std::string WithHexByte(std::string_view text, std::uint8_t value) {
  constexpr std::string_view kDigits = "0123456789abcdef";
  const char digits[] = {kDigits[value >> 4], kDigits[value & 0x0F]};
  return Replaced(text, "%02x", std::string_view(digits, 2));
}

std::string WithCharacters(std::string_view text, std::span<const std::uint8_t> characters) {
  constexpr std::string_view kMarker = "%C";
  std::string result;
  std::size_t next = 0;
  std::size_t from = 0;
  for (auto at = text.find(kMarker); at != std::string_view::npos; at = text.find(kMarker, from)) {
    result.append(text.substr(from, at - from));
    if (next < characters.size() && characters[next] != 0) {
      result.push_back(IsPrintable(characters[next]) ? static_cast<char>(characters[next]) : '?');
    }
    ++next;
    from = at + kMarker.size();
  }
  result.append(text.substr(from));
  return result;
}

}  // namespace flashjobs
