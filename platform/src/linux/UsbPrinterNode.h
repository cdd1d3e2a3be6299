// A USB printer through the kernel's printer driver (usblp): the node /dev/usb/lpN, held
// alone while open, with bounded reads and writes and the driver's device-ID request.
#pragma once

#include <memory>
#include <string>

#include "linux/DeviceLink.h"

namespace platform::linux_backend {

// Null, with the last error set and the reason noted, when the node cannot be had. Anything
// but a character device at the path (a plain file, a FIFO) takes writes but answers no read.
std::unique_ptr<DeviceLink> OpenUsbPrinterNode(const std::string& node);

// The device ID as the driver hands it (two-byte length field first) turned into the text
// alone; kErrorDeviceNotConnected when it holds none. Used on what LPIOC_GET_DEVICE_ID gave.
std::uint32_t DeviceIdFromDriverReply(const char* reply, std::size_t size, std::uint8_t* out,
                                      std::uint32_t outLength, std::uint32_t& count);

}  // namespace platform::linux_backend
