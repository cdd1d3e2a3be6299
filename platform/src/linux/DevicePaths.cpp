#include "linux/DevicePaths.h"

#include <cctype>
#include <cstdlib>
#include <string_view>

namespace platform::linux_backend {

namespace {

constexpr std::string_view kDevicePrefix = R"(\\.\)";

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
  if (text.size() < prefix.size()) {
    return false;
  }
  for (std::size_t i = 0; i < prefix.size(); ++i) {
    if (std::tolower(static_cast<unsigned char>(text[i])) !=
        std::tolower(static_cast<unsigned char>(prefix[i]))) {
      return false;
    }
  }
  return true;
}

// The n of "COMn", or 0 when the name is not of that form.
unsigned long ComNumber(std::string_view name) {
  if (!StartsWithNoCase(name, "COM") || name.size() == 3 || name.size() > 6) {
    return 0;
  }
  unsigned long number = 0;
  for (char c : name.substr(3)) {
    if (std::isdigit(static_cast<unsigned char>(c)) == 0) {
      return 0;
    }
    number = number * 10 + static_cast<unsigned long>(c - '0');
  }
  return number;
}

}  // namespace

ResolvedPath ResolvePath(const char* path) {
  const std::string_view text(path);
  if (!text.starts_with(kDevicePrefix)) {
    return {ResolvedPath::Kind::kFile, std::string(text)};
  }
  const std::string_view name = text.substr(kDevicePrefix.size());
  const unsigned long com = ComNumber(name);
  if (com == 0) {
    return {ResolvedPath::Kind::kUnknownDevice, std::string(text)};
  }
  const std::string variable = "ZARNIK_COM" + std::to_string(com);
  const char* chosen = std::getenv(variable.c_str());
  if (chosen != nullptr && *chosen != '\0') {
    return {ResolvedPath::Kind::kSerialLine, chosen};
  }
  return {ResolvedPath::Kind::kSerialLine, "/dev/ttyS" + std::to_string(com - 1)};
}

}  // namespace platform::linux_backend
