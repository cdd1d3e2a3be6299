// PORT_LPT: open, close and the choice of access method by the kind of system. Windows 2000
// and XP go through the system's parallel-port driver (LptDriverTransport.cpp). Direct
// register access, the method of Windows 95, 98 and Me, is not part of this build: every
// open, write and read on those systems fails with result 0 and says so.
#include "Diagnostics.h"
#include "LibraryState.h"
#include "LptDriver.h"
#include "OsKind.h"
#include "Transports.h"
#include "VopP2.h"
#include "platform/Services.h"

namespace vopp2 {

namespace {

bool DriverKind(int kind) {
  return kind == OS_WIN2K || kind == OS_WINXP;
}

}  // namespace

std::int32_t VopP2OpenLpt() {
  DebugLine(kLevelPortFunction, "VopP2OpenLpt\n");
  if (Library().hLpt != platform::kInvalidHandle) {
    return 1;
  }
  const int kind = GetKindOfOS();
  if (DriverKind(kind)) {
    return OpenLptWithDriver();
  }
  if (kind == OS_UNKNOWN) {
    ReportFailure("VopP2Open:CreateFile(PORT_LPT) : OS_UNKNOWN failure\n");
    return 0;
  }
  ReportFailure("VopP2Open(PORT_LPT) : direct register access not available in this build\n");
  return 0;
}

std::int32_t VopP2CloseLpt() {
  DebugLine(kLevelPortFunction, "VopP2CloseLpt\n");
  LibraryState& library = Library();
  if (library.hLpt != platform::kInvalidHandle) {
    if (library.hLpt != 0) {  // 0 is direct register access, no system object
      platform::Current().CloseHandle(library.hLpt);
    }
    library.hLpt = platform::kInvalidHandle;
  }
  return 1;
}

std::int32_t VopP2WriteLpt(const std::uint8_t* lpData, std::uint32_t dwDataLength,
                           std::uint32_t* lpdwWritten) {
  DebugLine(kLevelPortFunction, "VopP2WriteLpt\n");
  const int kind = GetKindOfOS();
  if (DriverKind(kind)) {
    return VopP2WriteLptWithDriver(lpData, dwDataLength, lpdwWritten);
  }
  std::uint32_t spare = 0;
  CountTarget(lpdwWritten, spare) = 0;
  if (kind == OS_UNKNOWN) {
    ReportFailure("VopP2Write(PORT_LPT) : OS_UNKNOWN failure\n");
    return 0;
  }
  ReportFailure("VopP2Write(PORT_LPT) : direct register access not available in this build\n");
  return 0;
}

std::int32_t VopP2ReadLpt(std::uint8_t* lpBuffer, std::uint32_t dwBufferLength,
                          std::uint32_t* lpdwRead, std::uint8_t byRequest) {
  DebugLine(kLevelPortFunction, "VopP2ReadLpt\n");
  const int kind = GetKindOfOS();
  if (DriverKind(kind)) {
    return VopP2ReadLptWithDriver(lpBuffer, dwBufferLength, lpdwRead, byRequest);
  }
  std::uint32_t spare = 0;
  CountTarget(lpdwRead, spare) = 0;
  if (kind == OS_UNKNOWN) {
    return 0;  // no text on an unknown system
  }
  ReportFailure("VopP2Read(PORT_LPT) : direct register access not available in this build\n");
  return 0;
}

std::int32_t InitLPTPort() {
  DebugLine(kLevelModeFunction, "InitLPTPort\n");
  Library().dwEcpState = 0;
  ReportFailure("InitLPTPort : direct register access not available in this build\n");
  return 0;
}

std::int32_t ECPNegotiateLPTWithVopP2(std::uint8_t /*byRequest*/, std::uint8_t /*byEcr1*/,
                                      std::uint8_t /*byEcr2*/) {
  DebugLine(kLevelModeFunction, "ECPNegotiateLPTWithVopP2\n");
  Library().dwEcpState = 0;
  ReportFailure("ECPNegotiateLPTWithVopP2 : direct register access not available in this build\n");
  return 0;
}

std::int32_t ECPTerminateLPTWithVopP2() {
  DebugLine(kLevelModeFunction, "ECPTerminateLPTWithVopP2\n");
  Library().dwEcpState = 0;
  ReportFailure("ECPTerminateLPTWithVopP2 : direct register access not available in this build\n");
  return 0;
}

}  // namespace vopp2
