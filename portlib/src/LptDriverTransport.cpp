// PORT_LPT on Windows 2000 and XP: the system's parallel-port driver, one handle on
// "\\.\LPTn" for writes, reverse-channel reads and the device identification request.
#include <cstdio>

#include "Diagnostics.h"
#include "DriverRead.h"
#include "LibraryState.h"
#include "LptDriver.h"
#include "Transports.h"
#include "VopP2.h"
#include "platform/Services.h"

namespace vopp2 {

std::int32_t OpenLptWithDriver() {
  LibraryState& library = Library();
  if (IsLPT1UsedByOtherDriver() != 0) {
    return 0;  // the check's text names the queue
  }
  char name[32];
  std::snprintf(name, sizeof name, R"(\\.\LPT%u)",
                static_cast<unsigned>(library.param.dwLptNumber));
  library.hLpt = platform::Current().CreateFile(
      name, platform::kGenericRead | platform::kGenericWrite, 0, platform::kOpenExisting, 0);
  if (library.hLpt == platform::kInvalidHandle) {
    ReportFailure("VopP2Open:CreateFile(PORT_LPT) : failure\n");
    return 0;
  }
  return 1;
}

std::int32_t VopP2WriteLptWithDriver(const std::uint8_t* lpData, std::uint32_t dwDataLength,
                                     std::uint32_t* lpdwWritten) {
  DebugLine(kLevelModeFunction, "VopP2WriteLptWithDriver\n");
  std::uint32_t spare = 0;
  std::uint32_t& written = CountTarget(lpdwWritten, spare);
  written = 0;
  bool openedHere = false;
  if (!EnsureOpen(PORT_LPT, Library().hLpt,
                  "VopP2WriteLptWithDriver:hHandle[PORT_LPT] : INVALID_HANDLE_VALUE\n",
                  openedHere)) {
    return 0;
  }
  platform::Services& os = platform::Current();
  if (!os.WriteFile(Library().hLpt, lpData, dwDataLength, &written)) {
    char errorText[64];
    std::snprintf(errorText, sizeof errorText, "WriteFile(LPT) : ErrorCode = %08X\n",
                  static_cast<unsigned>(os.GetLastError()));
    VopP2Close(PORT_LPT);
    ReportFailure("VopP2Write(LPT) : failure\n");
    ReportFailure("%s", errorText);
    return 0;
  }
  DebugLine(kLevelTransfer, "WriteFile(LPT) = dwDataLength:%08Xh dwWrittenLength:%08Xh\n",
            dwDataLength, written);
  if (openedHere) {
    VopP2Close(PORT_LPT);
  }
  return written == dwDataLength ? 1 : 0;
}

std::int32_t VopP2ReadLptWithDriver(std::uint8_t* lpBuffer, std::uint32_t dwBufferLength,
                                    std::uint32_t* lpdwRead, std::uint8_t byRequest) {
  DebugLine(kLevelModeFunction, "VopP2ReadLptWithDriver\n");
  return ReadThroughDriver(PORT_LPT, Library().hLpt, "VopP2ReadLptWithDriver", "LPT", lpBuffer,
                           dwBufferLength, lpdwRead, byRequest);
}

}  // namespace vopp2
