#include "linux/DevicePaths.h"

#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <string_view>
#include <system_error>

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

// The n of "<prefix>n" (prefix of three letters), or 0 when the name is not of that form.
unsigned long PortNumber(std::string_view name, std::string_view prefix) {
  if (!StartsWithNoCase(name, prefix) || name.size() == 3 || name.size() > 6) {
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

// The device the variable names when it is set and not empty, else the default.
std::string ChosenDevice(const std::string& variable, std::string fallback) {
  const char* chosen = std::getenv(variable.c_str());
  if (chosen != nullptr && *chosen != '\0') {
    return chosen;
  }
  return fallback;
}

std::string LptDevice(unsigned long number) {
  return ChosenDevice("ZARNIK_LPT" + std::to_string(number),
                      "/dev/lp" + std::to_string(number - 1));
}

bool SameFile(const std::string& a, const std::string& b) {
  if (a == b) {
    return true;
  }
  std::error_code error;
  return std::filesystem::equivalent(a, b, error) && !error;
}

}  // namespace

ResolvedPath ResolvePath(const char* path) {
  const std::string_view text(path);
  if (StartsWithNoCase(text, R"(\\?\usb#)")) {
    return {ResolvedPath::Kind::kUsbInterface, std::string(text)};
  }
  if (text.starts_with("/dev/usb/lp")) {
    return {ResolvedPath::Kind::kUsbPrinterNode, std::string(text)};
  }
  if (!text.starts_with(kDevicePrefix)) {
    return {ResolvedPath::Kind::kFile, std::string(text)};
  }
  const std::string_view name = text.substr(kDevicePrefix.size());
  if (const unsigned long lpt = PortNumber(name, "LPT"); lpt != 0) {
    return {ResolvedPath::Kind::kParallelPort, LptDevice(lpt)};
  }
  const unsigned long com = PortNumber(name, "COM");
  if (com == 0) {
    return {ResolvedPath::Kind::kUnknownDevice, std::string(text)};
  }
  return {ResolvedPath::Kind::kSerialLine,
          ChosenDevice("ZARNIK_COM" + std::to_string(com), "/dev/ttyS" + std::to_string(com - 1))};
}

unsigned LptNumberOfDevice(const std::string& devicePath) {
  for (unsigned number = 1; number <= 9; ++number) {
    if (SameFile(devicePath, LptDevice(number)) ||
        SameFile(devicePath, "/dev/lp" + std::to_string(number - 1))) {
      return number;
    }
  }
  return 0;
}

}  // namespace platform::linux_backend
