#include "platform/DeviceIdFields.h"

#include <algorithm>
#include <cctype>

namespace platform {

namespace {

std::string_view Trimmed(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) {
    text.remove_prefix(1);
  }
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '\r' ||
                           text.back() == '\n')) {
    text.remove_suffix(1);
  }
  return text;
}

std::string Shown(std::string_view text) {
  std::string shown(text);
  for (char& c : shown) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 0x20 || byte == 0x7F) {
      c = '?';
    }
  }
  return shown;
}

std::string Upper(std::string_view text) {
  std::string upper(text);
  std::transform(upper.begin(), upper.end(), upper.begin(),
                 [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
  return upper;
}

// Where a key's value goes; null for keys without a field of their own.
std::string* Slot(DeviceIdFields& id, const std::string& key) {
  if (key == "MFG" || key == "MANUFACTURER") {
    return &id.manufacturer;
  }
  if (key == "MDL" || key == "MODEL") {
    return &id.model;
  }
  if (key == "CMD" || key == "COMMAND SET") {
    return &id.commandSet;
  }
  if (key == "CLS" || key == "CLASS") {
    return &id.deviceClass;
  }
  if (key == "SN" || key == "SERN" || key == "SERIALNUMBER") {
    return &id.serial;
  }
  return nullptr;
}

}  // namespace

DeviceIdFields ParseDeviceId(std::string_view text) {
  DeviceIdFields id;
  text = text.substr(0, text.find('\0'));
  if (text.size() > kMaxDeviceIdText) {
    text = text.substr(0, kMaxDeviceIdText);
    id.cut = true;
  }
  std::vector<std::string> seen;
  while (!text.empty()) {
    const std::size_t end = std::min(text.find(';'), text.size());
    const std::string_view part = text.substr(0, end);
    text.remove_prefix(std::min(end + 1, text.size()));
    const std::size_t colon = part.find(':');
    if (colon == std::string_view::npos) {
      continue;
    }
    const std::string_view key = Trimmed(part.substr(0, colon));
    if (key.empty()) {
      continue;
    }
    if (id.fields.size() == kMaxDeviceIdFields) {
      id.cut = true;
      break;
    }
    std::string value = Shown(Trimmed(part.substr(colon + 1)));
    const std::string upper = Upper(key);
    if (std::find(seen.begin(), seen.end(), upper) == seen.end()) {
      seen.push_back(upper);
      if (std::string* slot = Slot(id, upper)) {
        *slot = value;
      }
    }
    id.fields.emplace_back(Shown(key), std::move(value));
  }
  return id;
}

}  // namespace platform
