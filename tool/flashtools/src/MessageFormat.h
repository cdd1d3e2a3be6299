// Fills the printf-style message formats of the string header.
#pragma once

#include <cstdio>
#include <string>
#include <string_view>
#include <type_traits>

namespace flashtools {

// The formats are the string header's literals, which end in a NUL; the arguments must
// match their conversions (%llu: unsigned long long, %u: unsigned, %02x: unsigned, %d: int,
// %s: const char*).
template <typename... Args>
std::string FormatMessage(std::string_view format, Args... args) {
  static_assert(((std::is_arithmetic_v<Args> || std::is_same_v<Args, const char*>)&&...));
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wformat-nonliteral"
  const int length = std::snprintf(nullptr, 0, format.data(), args...);
  if (length <= 0) {
    return {};
  }
  std::string text(static_cast<std::size_t>(length), '\0');
  std::snprintf(text.data(), text.size() + 1, format.data(), args...);
#pragma GCC diagnostic pop
  return text;
}

}  // namespace flashtools
