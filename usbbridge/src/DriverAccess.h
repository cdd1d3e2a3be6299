// The calls that reach the driver: opening a device or pipe and the device I/O controls. All
// of them pass the I/O lock, so that at most one of them is in the driver at a time across the
// threads of the process. Reads and writes on pipes are the caller's and pass no lock here.
#pragma once

#include <cstdint>

#include "platform/WinApi.h"

namespace vopusb {

// Opens a device or pipe path for reading and writing, shared, existing only.
platform::Handle OpenDriverFile(const char* path);

bool DriverIoControl(platform::Handle handle, std::uint32_t code, const void* in,
                     std::uint32_t inLength, void* out, std::uint32_t outLength,
                     std::uint32_t* bytesReturned);

}  // namespace vopusb
