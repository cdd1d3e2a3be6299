// PORT_USB. With fForceVopUsb set it goes through the USB bridge library (UsbBridgePath.cpp).
// The printing-support path is not built yet: its open, write and read fail with result 0 and
// say so in the last message, and the unknown-system texts stay as the access paths will have
// them.
#include "Diagnostics.h"
#include "LibraryState.h"
#include "OsKind.h"
#include "Transports.h"
#include "UsbBridgePath.h"
#include "VopP2.h"
#include "platform/Services.h"

namespace vopp2 {

std::int32_t VopP2OpenUsb() {
  DebugLine(kLevelPortFunction, "VopP2OpenUsb\n");
  if (Library().hUsb != platform::kInvalidHandle) {
    return 1;
  }
  if (GetKindOfOS() == OS_UNKNOWN) {
    ReportFailure("VopP2Open:CreateFile(PORT_USB) : OS_UNKNOWN failure\n");
    return 0;
  }
  if (Library().param.fForceVopUsb != 0) {
    return OpenVOPUSB();
  }
  ReportFailure("VopP2Open(PORT_USB) : transport not available in this build\n");
  return 0;
}

std::int32_t VopP2CloseUsb() {
  DebugLine(kLevelPortFunction, "VopP2CloseUsb\n");
  if (GetKindOfOS() == OS_UNKNOWN) {
    ReportFailure("VopP2Close(PORT_USB) : OS_UNKNOWN failure\n");
    return 0;
  }
  LibraryState& library = Library();
  if (library.param.fForceVopUsb != 0) {
    CloseVOPUSB();
    return 1;
  }
  if (library.hUsb != platform::kInvalidHandle) {
    platform::Current().CloseHandle(library.hUsb);
    library.hUsb = platform::kInvalidHandle;
  }
  return 1;
}

std::int32_t VopP2WriteUsb(const std::uint8_t* lpData, std::uint32_t dwDataLength,
                           std::uint32_t* lpdwWritten) {
  DebugLine(kLevelPortFunction, "VopP2WriteUsb\n");
  std::uint32_t spare = 0;
  CountTarget(lpdwWritten, spare) = 0;
  if (GetKindOfOS() == OS_UNKNOWN) {
    DebugLine(kLevelUsbUnknownOs, "VopP2Write(PORT_USB) : OS_UNKNOWN failure\n");
    return 0;
  }
  if (Library().param.fForceVopUsb != 0) {
    return VopP2WriteUsbVOPUSB(lpData, dwDataLength, lpdwWritten);
  }
  ReportFailure("VopP2Write(PORT_USB) : transport not available in this build\n");
  return 0;
}

std::int32_t VopP2ReadUsb(std::uint8_t* lpBuffer, std::uint32_t dwBufferLength,
                          std::uint32_t* lpdwRead, std::uint8_t byRequest) {
  DebugLine(kLevelPortFunction, "VopP2ReadUsb\n");
  std::uint32_t spare = 0;
  CountTarget(lpdwRead, spare) = 0;
  if (GetKindOfOS() == OS_UNKNOWN) {
    ReportFailure("VopP2Read(PORT_USB) : OS_UNKNOWN failure\n");
    return 0;
  }
  if (Library().param.fForceVopUsb != 0) {
    return VopP2ReadUsbVOPUSB(lpBuffer, dwBufferLength, lpdwRead, byRequest);
  }
  ReportFailure("VopP2Read(PORT_USB) : transport not available in this build\n");
  return 0;
}

}  // namespace vopp2
