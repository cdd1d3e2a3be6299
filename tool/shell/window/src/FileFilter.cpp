#include "window/FileFilter.h"

#include <algorithm>

namespace shell {

std::vector<std::string> ToQtFilters(std::string_view pairs) {
  std::vector<std::string> filters;
  std::vector<std::string_view> fields;
  while (!pairs.empty()) {
    const auto bar = pairs.find('|');
    fields.push_back(pairs.substr(0, bar));
    pairs = bar == std::string_view::npos ? std::string_view() : pairs.substr(bar + 1);
  }
  for (std::size_t i = 0; i + 1 < fields.size(); i += 2) {
    const auto name = fields[i];
    std::string patterns(fields[i + 1]);
    if (name.empty() || patterns.empty()) {
      break;  // the "||" end mark
    }
    std::replace(patterns.begin(), patterns.end(), ';', ' ');
    const std::string bracketed = "(" + patterns + ")";
    if (name.size() >= bracketed.size() &&
        name.substr(name.size() - bracketed.size()) == bracketed) {
      filters.emplace_back(name);
    } else {
      filters.push_back(std::string(name) + " " + bracketed);
    }
  }
  return filters;
}

}  // namespace shell
