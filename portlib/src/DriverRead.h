// What the transports that talk to a system driver through one handle (the parallel port's
// driver, the USB printing support) share: opening the port for a call that finds it closed,
// and the read with its device-identification request.
#pragma once

#include <cstdint>

#include "platform/WinApi.h"

namespace vopp2 {

// Opens the port (VopP2Open(port)) when handle, the library's handle of that port, is
// closed. openedHere tells whether this call opened it (and so closes it again); false, with
// invalidText reported when the open left no handle, when the port cannot be had.
bool EnsureOpen(std::int32_t port, const platform::Handle& handle, const char* invalidText,
                bool& openedHere);

// The read of a driver port: request 0 or 16 is one system read of up to the buffer length;
// any other request is the device identification (IOCTL_PAR_QUERY_DEVICE_ID) behind its
// two-byte big-endian length n = count + 1, never past the caller's buffer nor 1022 bytes of
// text. A failed call closes the port. Texts name the function (mode, e.g.
// "VopP2ReadLptWithDriver") and the port's word ("LPT", "USB").
std::int32_t ReadThroughDriver(std::int32_t port, const platform::Handle& handle, const char* mode,
                               const char* portWord, std::uint8_t* lpBuffer,
                               std::uint32_t dwBufferLength, std::uint32_t* lpdwRead,
                               std::uint8_t byRequest);

}  // namespace vopp2
