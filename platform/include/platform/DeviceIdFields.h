// The IEEE 1284 device ID of a printer ("MFG:Zarnik;MDL:QX4410;CMD:PJL;CLS:PRINTER;"), taken
// apart into its fields. What a device sends is outside input: the parser looks at a bounded
// part of it, keeps a bounded number of fields, and makes control characters harmless to show.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/Services.h"

namespace platform {

// The longest ID text looked at, and the most fields kept; the rest is dropped.
inline constexpr std::size_t kMaxDeviceIdText = 4096;
inline constexpr std::size_t kMaxDeviceIdFields = 64;

struct DeviceIdFields {
  std::string manufacturer;  // MFG or MANUFACTURER
  std::string model;         // MDL or MODEL
  std::string commandSet;    // CMD or COMMAND SET
  std::string deviceClass;   // CLS or CLASS
  std::string serial;        // SN, SERN or SERIALNUMBER
  // Every field in the order sent, keys as sent (trimmed).
  std::vector<std::pair<std::string, std::string>> fields;
  bool cut = false;  // the text was longer than kMaxDeviceIdText, or had more fields
};

// Fields are "key:value" separated by ';'; keys are matched without regard to letter case,
// the first occurrence of a key counts, a part without ':' is skipped, and the text ends at
// a zero byte. Control characters in keys and values become '?'.
ZARNIK_PLATFORM_API DeviceIdFields ParseDeviceId(std::string_view text);

}  // namespace platform
