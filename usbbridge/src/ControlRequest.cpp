#include "ControlRequest.h"

#include <algorithm>
#include <array>
#include <vector>

#include "DeviceTable.h"
#include "DriverAccess.h"
#include "platform/VopUsbDriver.h"

namespace vopusb {

namespace {

namespace driver = platform::vopusb;

// URB function codes by recipient.
constexpr std::array<std::uint16_t, 4> kClassFunctions{
    driver::kUrbClassDevice, driver::kUrbClassInterface, driver::kUrbClassEndpoint,
    driver::kUrbClassOther};
constexpr std::array<std::uint16_t, 4> kVendorFunctions{
    driver::kUrbVendorDevice, driver::kUrbVendorInterface, driver::kUrbVendorEndpoint,
    driver::kUrbVendorOther};

}  // namespace

std::int32_t SendControlRequest(RequestFamily family, std::int32_t id, std::uint32_t direction,
                                std::uint32_t recipient, std::uint32_t bRequest,
                                std::uint32_t wValue, std::uint32_t wIndex, std::uint32_t wLength,
                                void* data) {
  const platform::Handle device = Table().HandleOf(id);
  const std::uint32_t to = recipient & 0xFFU;
  if (device == platform::kInvalidHandle || to >= kClassFunctions.size()) {
    return 0;
  }
  const std::uint32_t length = wLength & 0xFFFFU;
  if (length > 0 && data == nullptr) {
    return 0;
  }
  const bool deviceToHost = direction != 0;
  driver::ControlHeader header;
  header.function = (family == RequestFamily::kClass ? kClassFunctions : kVendorFunctions)[to];
  header.flags = deviceToHost ? driver::kShortTransferOk : 0;
  header.request = static_cast<std::uint8_t>(bRequest & 0xFFU);
  header.value = static_cast<std::uint16_t>(wValue & 0xFFFFU);
  header.index = static_cast<std::uint16_t>(wIndex & 0xFFFFU);
  const auto headerBytes = driver::EncodeControlHeader(header);
  std::uint32_t returned = 0;
  if (deviceToHost) {
    if (!DriverIoControl(device, driver::kIoctlControlIn, headerBytes.data(),
                         driver::kControlHeaderSize, data, length, &returned)) {
      return 0;
    }
    // The call cannot say how many bytes came: what the device did not send reads as zeros,
    // never as what the caller's buffer held before.
    auto* bytes = static_cast<std::uint8_t*>(data);
    std::fill(bytes + std::min(returned, length), bytes + length, std::uint8_t{0});
    return 1;
  }
  std::vector<std::uint8_t> record(headerBytes.begin(), headerBytes.end());
  const auto* bytes = static_cast<const std::uint8_t*>(data);
  record.insert(record.end(), bytes, bytes + length);
  return DriverIoControl(device, driver::kIoctlControlOut, record.data(),
                         static_cast<std::uint32_t>(record.size()), nullptr, 0, &returned)
             ? 1
             : 0;
}

}  // namespace vopusb
