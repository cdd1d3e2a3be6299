// CreateFile on a USB device interface path or a USB printer node: the printer node when the
// kernel has one for the device, else the printer interface through libusb; a path of the USB
// bridge's class opens that device or one of its pipes (BridgeFiles.h).
#pragma once

#include "linux/DevicePaths.h"
#include "linux/HandleTable.h"

namespace platform::linux_backend {

Handle OpenUsbDevice(const ResolvedPath& target, HandleTable& handles);

}  // namespace platform::linux_backend
