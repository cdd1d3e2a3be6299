// The two ways PORT_USB reaches the printer, chosen by fForceVopUsb: the system's USB printing
// support (one file handle on the printer's device interface) and the USB bridge library.
// Each path's open, close, write and read have the results of the transport's own calls.
#pragma once

#include <cstdint>

#include "UsbBridgePath.h"

namespace vopp2 {

// Printing-support path (UsbPrintSupport.cpp).
std::int32_t OpenUsbPrintSupport();
void CloseUsbPrintSupport();
std::int32_t VopP2WriteUsbPrintSupport(const std::uint8_t* lpData, std::uint32_t dwDataLength,
                                       std::uint32_t* lpdwWritten);
std::int32_t VopP2ReadUsbPrintSupport(std::uint8_t* lpBuffer, std::uint32_t dwBufferLength,
                                      std::uint32_t* lpdwRead, std::uint8_t byRequest);

}  // namespace vopp2
