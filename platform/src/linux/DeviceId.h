// The IEEE 1284 device identification of the printer behind a parallel-port device, as
// IOCTL_PAR_QUERY_DEVICE_ID returns it: the ID text without its own two-byte length.
#pragma once

#include <cstddef>
#include <cstdint>

namespace platform::linux_backend {

// Copies the text of an ID as the device sent it (two-byte big-endian length, text, maybe a
// terminating zero; got bytes in all) into out. count is the text's length; a zero follows
// it when there is room. Returns the last error: kErrorSuccess, kErrorDeviceNotConnected
// when no text came, kErrorInsufficientBuffer when the text does not fit.
std::uint32_t CopyDeviceIdText(const char* raw, std::size_t got, std::uint8_t* out,
                               std::uint32_t outLength, std::uint32_t& count);

// Asks the kernel's parallel-port support for the ID of the printer on the port behind fd
// (/dev/lpN or /dev/parportN). Sets the last error and returns false when fd is no
// parallel port (kErrorInvalidFunction) or no ID is to be had.
bool QueryDeviceId(int fd, std::uint8_t* out, std::uint32_t outLength, std::uint32_t& count);

}  // namespace platform::linux_backend
