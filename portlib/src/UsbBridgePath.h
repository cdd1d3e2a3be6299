// PORT_USB through the USB bridge library (fForceVopUsb non-zero): the library loaded at run
// time by the name "vopusb", the maker's device opened by it with a read pipe (pipe 1) and a
// write pipe (pipe 0) on interface 0, and the device identification fetched with the printer
// class's request.
#pragma once

#include <cstdint>

namespace vopp2 {

// Loads the bridge and opens the device and both pipes; either all of them are held after
// it, or none. An open bridge path is left as it is and succeeds at once.
std::int32_t OpenVOPUSB();
// Closes both pipes and the device and frees the bridge library.
void CloseVOPUSB();
// Something of the bridge path is held: the library, the device or a pipe.
bool BridgePathHeld();
std::int32_t VopP2WriteUsbVOPUSB(const std::uint8_t* lpData, std::uint32_t dwDataLength,
                                 std::uint32_t* lpdwWritten);
std::int32_t VopP2ReadUsbVOPUSB(std::uint8_t* lpBuffer, std::uint32_t dwBufferLength,
                                std::uint32_t* lpdwRead, std::uint8_t byRequest);

}  // namespace vopp2
