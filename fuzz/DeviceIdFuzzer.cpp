// The IEEE 1284 device ID parser on arbitrary bytes, as a printer may send them: every field
// it keeps must be bounded and free of control characters.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "platform/DeviceIdFields.h"

namespace {

void Check(const std::string& text) {
  for (const char c : text) {
    if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) {
      std::abort();
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const platform::DeviceIdFields id =
      platform::ParseDeviceId(std::string_view(reinterpret_cast<const char*>(data), size));
  if (id.fields.size() > platform::kMaxDeviceIdFields) {
    std::abort();
  }
  for (const auto& [key, value] : id.fields) {
    Check(key);
    Check(value);
  }
  Check(id.manufacturer);
  Check(id.model);
  return 0;
}
