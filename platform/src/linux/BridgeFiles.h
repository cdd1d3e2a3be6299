// CreateFile on a path of the USB bridge's interface class: the device itself, or, with the
// suffix "\ifNNNpipeMMM" (VopUsbDriver.h), pipe MMM of interface NNN, which is the MMM-th
// endpoint (from 0, in descriptor order) of the setting the interface is in. Every handle on
// one device shares one libusb handle. A pipe holds its interface claimed while it is open
// (taken from a kernel driver such as usblp), and the interface goes back to that driver when
// the last handle that holds it closes. The device handle answers the driver's I/O controls:
// class and vendor requests, descriptors, the device reset and the health check; a pipe reads
// or writes its endpoint by bulk transfers and answers the pipe reset (clearing a halt).
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "linux/DeviceLink.h"

namespace platform::linux_backend {

bool IsBridgePath(std::string_view path);

// Null, with the last error set and the reason noted, when the device or pipe cannot be had.
std::unique_ptr<DeviceLink> OpenBridgeFile(std::string_view path);

}  // namespace platform::linux_backend
