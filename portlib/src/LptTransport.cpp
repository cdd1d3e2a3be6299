// PORT_LPT: open, close and the choice of access method by the kind of system. Windows 2000
// and XP go through the system's parallel-port driver (LptDriverTransport.cpp); Windows 95,
// 98 and Me drive the port's registers directly (LptDirectWrite.cpp, LptReverseRead.cpp),
// with no handle: the port counts as open when its handle is 0.
#include "Diagnostics.h"
#include "LibraryState.h"
#include "LptDirect.h"
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
  Library().hLpt = 0;  // direct register access: the hardware is not touched
  return 1;
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
  return WriteLptDirect(lpData, dwDataLength, CountTarget(lpdwWritten, spare));
}

std::int32_t VopP2ReadLpt(std::uint8_t* lpBuffer, std::uint32_t dwBufferLength,
                          std::uint32_t* lpdwRead, std::uint8_t byRequest) {
  DebugLine(kLevelPortFunction, "VopP2ReadLpt\n");
  const int kind = GetKindOfOS();
  if (DriverKind(kind)) {
    return VopP2ReadLptWithDriver(lpBuffer, dwBufferLength, lpdwRead, byRequest);
  }
  std::uint32_t spare = 0;
  std::uint32_t& read = CountTarget(lpdwRead, spare);
  read = 0;
  if (kind == OS_UNKNOWN) {
    return 0;  // no text on an unknown system
  }
  if (Library().param.dwLptMode == kLptModeEcpFifo) {
    return ECPGetRevData(lpBuffer, dwBufferLength, read, byRequest);
  }
  return LeaveNegotiatedEcp() ? GetRevData(lpBuffer, dwBufferLength, read, byRequest) : 0;
}

}  // namespace vopp2
