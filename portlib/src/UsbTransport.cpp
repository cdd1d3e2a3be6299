// PORT_USB: the unknown-system checks, then one of the two access paths by fForceVopUsb.
#include "Diagnostics.h"
#include "LibraryState.h"
#include "OsKind.h"
#include "Transports.h"
#include "UsbPaths.h"
#include "VopP2.h"
#include "platform/Services.h"

namespace vopp2 {

namespace {

bool ThroughBridge() {
  return Library().param.fForceVopUsb != 0;
}

}  // namespace

std::int32_t VopP2OpenUsb() {
  DebugLine(kLevelPortFunction, "VopP2OpenUsb\n");
  if (Library().hUsb != platform::kInvalidHandle) {
    return 1;
  }
  if (GetKindOfOS() == OS_UNKNOWN) {
    ReportFailure("VopP2Open:CreateFile(PORT_USB) : OS_UNKNOWN failure\n");
    return 0;
  }
  if (ThroughBridge()) {
    return OpenVOPUSB();
  }
  return OpenUsbPrintSupport();
}

std::int32_t VopP2CloseUsb() {
  DebugLine(kLevelPortFunction, "VopP2CloseUsb\n");
  if (GetKindOfOS() == OS_UNKNOWN) {
    ReportFailure("VopP2Close(PORT_USB) : OS_UNKNOWN failure\n");
    return 0;
  }
  // The path fForceVopUsb names is closed, and the other one too when it is held: the caller
  // may have changed the flag since the open, and no claim on the printer outlives the close.
  if (ThroughBridge() || BridgePathHeld()) {
    CloseVOPUSB();
  }
  if (!ThroughBridge() || Library().hUsb != platform::kInvalidHandle) {
    CloseUsbPrintSupport();
  }
  return 1;
}

std::int32_t VopP2WriteUsb(const std::uint8_t* lpData, std::uint32_t dwDataLength,
                           std::uint32_t* lpdwWritten) {
  DebugLine(kLevelPortFunction, "VopP2WriteUsb\n");
  if (GetKindOfOS() == OS_UNKNOWN) {
    std::uint32_t spare = 0;
    CountTarget(lpdwWritten, spare) = 0;
    DebugLine(kLevelUsbUnknownOs, "VopP2Write(PORT_USB) : OS_UNKNOWN failure\n");
    return 0;
  }
  if (ThroughBridge()) {
    return VopP2WriteUsbVOPUSB(lpData, dwDataLength, lpdwWritten);
  }
  return VopP2WriteUsbPrintSupport(lpData, dwDataLength, lpdwWritten);
}

std::int32_t VopP2ReadUsb(std::uint8_t* lpBuffer, std::uint32_t dwBufferLength,
                          std::uint32_t* lpdwRead, std::uint8_t byRequest) {
  DebugLine(kLevelPortFunction, "VopP2ReadUsb\n");
  if (GetKindOfOS() == OS_UNKNOWN) {
    std::uint32_t spare = 0;
    CountTarget(lpdwRead, spare) = 0;
    ReportFailure("VopP2Read(PORT_USB) : OS_UNKNOWN failure\n");
    return 0;
  }
  if (ThroughBridge()) {
    return VopP2ReadUsbVOPUSB(lpBuffer, dwBufferLength, lpdwRead, byRequest);
  }
  return VopP2ReadUsbPrintSupport(lpBuffer, dwBufferLength, lpdwRead, byRequest);
}

}  // namespace vopp2
