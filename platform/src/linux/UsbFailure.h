// Failure reasons of the USB devices, noted where the system told them.
#pragma once

#include <string>

namespace platform::linux_backend {

// After an open of a USB node (a printer node, a usbfs node) failed with errno error.
void NoteUsbOpenFailure(int error, const std::string& node);
// After a transfer failed with the last error set: a device that went away, one that took
// or gave nothing in time.
void NoteUsbTransferFailure(const std::string& device);

}  // namespace platform::linux_backend
