// The answer of a printer device to IOCTL_PAR_QUERY_DEVICE_ID: the identification string
// alone (the caller adds the length bytes), refused when it does not fit.
#pragma once

#include <algorithm>
#include <span>

#include "sim/Device.h"
#include "sim/printer/VirtualPrinter.h"

namespace sim {

inline IoResult DeviceIdReply(const VirtualPrinter& printer, std::uint32_t code,
                              std::span<std::uint8_t> out) {
  if (code != platform::kIoctlParQueryDeviceId) {
    return IoResult::Failed(platform::kErrorInvalidParameter);
  }
  const std::string_view id = printer.DeviceId();
  if (out.size() < id.size()) {
    return IoResult::Failed(platform::kErrorInsufficientBuffer);
  }
  std::copy(id.begin(), id.end(), out.begin());
  return IoResult::Done(static_cast<std::uint32_t>(id.size()));
}

}  // namespace sim
