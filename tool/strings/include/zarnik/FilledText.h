// A text of Strings.h with its "%s" marks filled in order; marks left over stay as they are,
// values left over are dropped.
#pragma once

#include <initializer_list>
#include <string>
#include <string_view>

namespace zarnik {

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

}  // namespace zarnik
