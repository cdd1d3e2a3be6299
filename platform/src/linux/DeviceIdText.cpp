#include <cstring>

#include "linux/DeviceId.h"
#include "platform/WinApi.h"

namespace platform::linux_backend {

std::uint32_t CopyDeviceIdText(const char* raw, std::size_t got, std::uint8_t* out,
                               std::uint32_t outLength, std::uint32_t& count) {
  count = 0;
  constexpr std::size_t kLengthField = 2;
  if (got <= kLengthField) {
    return kErrorDeviceNotConnected;
  }
  // The length field is the device's own and often wrong: the text ends at its zero or at
  // the end of what came.
  const std::size_t text = strnlen(raw + kLengthField, got - kLengthField);
  if (text == 0) {
    return kErrorDeviceNotConnected;
  }
  if (text > outLength) {
    return kErrorInsufficientBuffer;
  }
  std::memcpy(out, raw + kLengthField, text);
  if (text < outLength) {
    out[text] = 0;
  }
  count = static_cast<std::uint32_t>(text);
  return kErrorSuccess;
}

}  // namespace platform::linux_backend
