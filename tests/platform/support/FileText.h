// The whole content of a file as text (empty when it cannot be read).
#pragma once

#include <cstdio>
#include <string>

namespace testsupport {

inline std::string FileText(const std::string& path) {
  std::string text;
  if (std::FILE* file = std::fopen(path.c_str(), "rb")) {
    char buffer[4096];
    std::size_t n = 0;
    while ((n = std::fread(buffer, 1, sizeof buffer, file)) > 0) {
      text.append(buffer, n);
    }
    std::fclose(file);
  }
  return text;
}

}  // namespace testsupport
