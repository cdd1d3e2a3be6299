// Failure reasons of the USB devices, noted where the system told them.
#pragma once

#include <cstdint>
#include <string>

namespace platform::linux_backend {

// After an open of a USB node (a printer node, a usbfs node) failed with the system error
// code error: as any port's open failure, and a refused permission names the node's group.
void NoteUsbOpenFailure(std::uint32_t error, const std::string& node);
// After a transfer failed with the last error set: a device that went away, one that took
// or gave nothing in time.
void NoteUsbTransferFailure(const std::string& device);

}  // namespace platform::linux_backend
