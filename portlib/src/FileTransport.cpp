// PORT_FILE: everything written goes to the output file, appended to what it holds.
#include <cstring>
#include <string>

#include "Diagnostics.h"
#include "LibraryState.h"
#include "Transports.h"
#include "VopP2.h"
#include "platform/Services.h"

namespace vopp2 {

std::int32_t VopP2OpenFile() {
  DebugLine(kLevelPortFunction, "VopP2OpenFile\n");
  LibraryState& library = Library();
  if (library.hFile != platform::kInvalidHandle) {
    return 1;
  }
  platform::Services& os = platform::Current();
  // The caller fills the field; a name that fills it with no terminator ends at its end.
  const std::string name(library.param.szOutputFile,
                         strnlen(library.param.szOutputFile, sizeof library.param.szOutputFile));
  library.hFile = os.CreateFile(name.c_str(), platform::kGenericWrite, 0, platform::kOpenAlways,
                                platform::kFileAttributeNormal);
  if (library.hFile == platform::kInvalidHandle) {
    ReportFailure("VopP2Open:CreateFile(PORT_FILE) : failure\n");
    return 0;
  }
  // Every write appends, at any file size. A pipe or terminal has no position to move: what
  // is written there follows what came before anyway.
  if (!os.SetFilePointerEx(library.hFile, 0, nullptr, platform::kFileEnd) &&
      os.GetLastError() != platform::kErrorInvalidFunction) {
    VopP2Close(PORT_FILE);
    ReportFailure("VopP2Open:SetFilePointer(PORT_FILE) : failure\n");
    return 0;
  }
  return 1;
}

std::int32_t VopP2CloseFile() {
  DebugLine(kLevelPortFunction, "VopP2CloseFile\n");
  LibraryState& library = Library();
  if (library.hFile != platform::kInvalidHandle) {
    platform::Current().CloseHandle(library.hFile);
    library.hFile = platform::kInvalidHandle;
  }
  return 1;
}

std::int32_t VopP2WriteFile(const std::uint8_t* lpData, std::uint32_t dwDataLength,
                            std::uint32_t* lpdwWritten) {
  DebugLine(kLevelPortFunction, "VopP2WriteFile\n");
  LibraryState& library = Library();
  std::uint32_t spare = 0;
  std::uint32_t& written = CountTarget(lpdwWritten, spare);
  bool openedHere = false;
  if (library.hFile == platform::kInvalidHandle) {
    if (VopP2Open(PORT_FILE) == 0) {
      written = 0;
      return 0;
    }
    openedHere = true;
    if (library.hFile == platform::kInvalidHandle) {
      ReportFailure("VopP2WriteFile:hHandle[PORT_FILE] : INVALID_HANDLE_VALUE\n");
      return 0;
    }
  }
  if (!platform::Current().WriteFile(library.hFile, lpData, dwDataLength, &written)) {
    VopP2Close(PORT_FILE);
    ReportFailure("VopP2WriteFile:VopP2Write(FILE) : failure\n");
    return 0;
  }
  DebugLine(kLevelTransfer,
            "VopP2WriteFile:WriteFile(FILE) = dwDataLength:%08Xh dwWrittenLength:%08Xh\n",
            dwDataLength, written);
  if (openedHere) {
    VopP2Close(PORT_FILE);
  }
  return written == dwDataLength ? 1 : 0;
}

std::int32_t VopP2ReadFile(std::uint8_t* /*lpBuffer*/, std::uint32_t /*dwBufferLength*/,
                           std::uint32_t* lpdwRead) {
  DebugLine(kLevelPortFunction, "VopP2ReadFile\n");
  std::uint32_t spare = 0;
  CountTarget(lpdwRead, spare) = 0;
  return 0;  // a capture file never answers
}

}  // namespace vopp2
