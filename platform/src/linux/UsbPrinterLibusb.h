// A USB printer whose printer interface has no kernel printer node, through libusb: the
// interface is claimed while the handle is open, data goes out on its bulk OUT endpoint and
// comes in on its bulk IN endpoint, and the device ID is the printer class's GET_DEVICE_ID.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>

#include "linux/DeviceLink.h"
#include "linux/LibusbDevice.h"
#include "linux/UsbDeviceTree.h"

namespace platform::linux_backend {

// The printer class's GET_DEVICE_ID on the printer interface: the identification text without
// its length field in out, at most outLength bytes. Nothing, with the last error set, when the
// request fails; otherwise kErrorSuccess or why the reply gave no text that fits.
std::optional<std::uint32_t> ReadPrinterDeviceId(LibusbDevice& device,
                                                 const BulkEndpoints& endpoints, std::uint8_t* out,
                                                 std::uint32_t outLength, std::uint32_t& count,
                                                 unsigned timeoutMs);

// Null, with the last error set and the reason noted, when the printer cannot be had.
std::unique_ptr<DeviceLink> OpenUsbPrinterThroughLibusb(const UsbDeviceInfo& device);

}  // namespace platform::linux_backend
