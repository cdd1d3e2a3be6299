// The settings' messages: a text of Strings.h with its "%s" marks filled in order.
#pragma once

#include <initializer_list>
#include <string>
#include <string_view>

namespace settings {

inline std::string FilledText(std::string_view pattern, std::initializer_list<std::string> values) {
  std::string text;
  std::size_t from = 0;
  for (const std::string& value : values) {
    const std::size_t mark = pattern.find("%s", from);
    if (mark == std::string_view::npos) {
      break;
    }
    text.append(pattern.substr(from, mark - from)).append(value);
    from = mark + 2;
  }
  return text.append(pattern.substr(from));
}

}  // namespace settings
