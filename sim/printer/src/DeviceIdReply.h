// The identification string as printer devices give it: alone, to IOCTL_PAR_QUERY_DEVICE_ID,
// or behind its length bytes, as it travels on the cable and in the USB class request.
#pragma once

#include <algorithm>
#include <span>
#include <string_view>
#include <vector>

#include "sim/Device.h"
#include "sim/printer/VirtualPrinter.h"

namespace sim {

// The answer to IOCTL_PAR_QUERY_DEVICE_ID: the string alone (the caller adds the length
// bytes), refused when it does not fit.
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

// The string behind its big-endian length, which counts the two length bytes as well.
inline std::vector<std::uint8_t> WithLengthBytes(std::string_view id) {
  const std::size_t length = id.size() + 2;
  std::vector<std::uint8_t> reply{static_cast<std::uint8_t>(length >> 8),
                                  static_cast<std::uint8_t>(length & 0xFFU)};
  reply.insert(reply.end(), id.begin(), id.end());
  return reply;
}

}  // namespace sim
