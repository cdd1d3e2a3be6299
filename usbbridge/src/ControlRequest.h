// Class and vendor requests: the 16-byte control header, followed by the data of a
// host-to-device request, sent through the driver's control I/O controls.
#pragma once

#include <cstdint>

namespace vopusb {

enum class RequestFamily { kClass, kVendor };

// Only the low byte of recipient counts: 0 device, 1 interface, 2 endpoint, 3 other; any
// other value fails before anything is sent, as does an id that is not open. Non-zero on
// success.
std::int32_t SendControlRequest(RequestFamily family, std::int32_t id, std::uint32_t direction,
                                std::uint32_t recipient, std::uint32_t bRequest,
                                std::uint32_t wValue, std::uint32_t wIndex, std::uint32_t wLength,
                                void* data);

}  // namespace vopusb
