// A USB printer whose printer interface has no kernel printer node, through libusb: the
// interface is claimed while the handle is open, data goes out on its bulk OUT endpoint and
// comes in on its bulk IN endpoint, and the device ID is the printer class's GET_DEVICE_ID.
#pragma once

#include <memory>

#include "linux/DeviceLink.h"
#include "linux/UsbDeviceTree.h"

namespace platform::linux_backend {

// Null, with the last error set and the reason noted, when the printer cannot be had.
std::unique_ptr<DeviceLink> OpenUsbPrinterThroughLibusb(const UsbDeviceInfo& device);

}  // namespace platform::linux_backend
