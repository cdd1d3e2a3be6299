// The bridge path of PORT_USB in a build without the USB bridge library: every open, write
// and read fails and says so in the last message.
#include "Diagnostics.h"
#include "Transports.h"
#include "UsbPaths.h"

namespace vopp2 {

std::int32_t OpenVOPUSB() {
  DebugLine(kLevelModeFunction, "OpenVOPUSB\n");
  ReportFailure("VopP2Open(PORT_USB) : USB bridge not available in this build\n");
  return 0;
}

void CloseVOPUSB() {
  DebugLine(kLevelModeFunction, "CloseVOPUSB\n");
}

std::int32_t VopP2WriteUsbVOPUSB(const std::uint8_t* /*lpData*/, std::uint32_t /*dwDataLength*/,
                                 std::uint32_t* lpdwWritten) {
  std::uint32_t spare = 0;
  CountTarget(lpdwWritten, spare) = 0;
  ReportFailure("VopP2Write(PORT_USB) : USB bridge not available in this build\n");
  return 0;
}

std::int32_t VopP2ReadUsbVOPUSB(std::uint8_t* /*lpBuffer*/, std::uint32_t /*dwBufferLength*/,
                                std::uint32_t* lpdwRead, std::uint8_t /*byRequest*/) {
  std::uint32_t spare = 0;
  CountTarget(lpdwRead, spare) = 0;
  ReportFailure("VopP2Read(PORT_USB) : USB bridge not available in this build\n");
  return 0;
}

}  // namespace vopp2
