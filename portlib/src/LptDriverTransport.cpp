// PORT_LPT on Windows 2000 and XP: the system's parallel-port driver, one handle on
// "\\.\LPTn" for writes, reverse-channel reads and the device identification request.
#include <cstdio>

#include "Diagnostics.h"
#include "LibraryState.h"
#include "LptDriver.h"
#include "Transports.h"
#include "VopP2.h"
#include "platform/Services.h"

namespace vopp2 {

namespace {

// Room the device identification gets behind its two length bytes.
constexpr std::uint32_t kDeviceIdRoom = 1022;

// Opens the port for a write or read that finds it closed. openedHere tells whether this
// call opened it (and so closes it again); false when the port cannot be had.
bool EnsureOpen(const char* invalidText, bool& openedHere) {
  openedHere = false;
  if (Library().hLpt != platform::kInvalidHandle) {
    return true;
  }
  if (VopP2Open(PORT_LPT) == 0) {
    return false;
  }
  openedHere = true;
  if (Library().hLpt == platform::kInvalidHandle) {
    ReportFailure("%s", invalidText);
    return false;
  }
  return true;
}

// The device identification into buffer[2..], its length n = count + 1 big-endian in
// buffer[0..1]. The string never goes past the caller's buffer: the room is the smaller of
// what follows the length bytes and kDeviceIdRoom.
bool ReadDeviceId(std::uint8_t* buffer, std::uint32_t bufferLength, std::uint32_t& read) {
  const std::uint32_t room = bufferLength - 2 < kDeviceIdRoom ? bufferLength - 2 : kDeviceIdRoom;
  std::uint32_t returned = 0;
  if (!platform::Current().DeviceIoControl(Library().hLpt, platform::kIoctlParQueryDeviceId,
                                           nullptr, 0, buffer + 2, room, &returned)) {
    return false;
  }
  const std::uint32_t n = (returned < room ? returned : room) + 1;
  read = n;
  buffer[0] = static_cast<std::uint8_t>(n >> 8);
  buffer[1] = static_cast<std::uint8_t>(n & 0xFFU);
  return true;
}

}  // namespace

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
  if (!EnsureOpen("VopP2WriteLptWithDriver:hHandle[PORT_LPT] : INVALID_HANDLE_VALUE\n",
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
  std::uint32_t spare = 0;
  std::uint32_t& read = CountTarget(lpdwRead, spare);
  read = 0;
  const bool deviceId = !OrdinaryReverseData(byRequest);
  // No room for the two length bytes: nothing is asked of the printer.
  if (deviceId && lpBuffer == nullptr) {
    ReportFailure("VopP2ReadLptWithDriver : failure (lpBuffer == NULL)\n");
    return 0;
  }
  if (deviceId && dwBufferLength < 2) {
    ReportFailure("VopP2ReadLptWithDriver : failure (dwBufferLength < 2)\n");
    return 0;
  }
  bool openedHere = false;
  if (!EnsureOpen("VopP2ReadLptWithDriver:hHandle[PORT_LPT] : INVALID_HANDLE_VALUE\n",
                  openedHere)) {
    return 0;
  }
  const bool ok =
      deviceId ? ReadDeviceId(lpBuffer, dwBufferLength, read)
               : platform::Current().ReadFile(Library().hLpt, lpBuffer, dwBufferLength, &read);
  if (!ok) {
    read = 0;
    VopP2Close(PORT_LPT);
    ReportFailure("VopP2Read(LPT) : failure\n");
    return 0;
  }
  DebugLine(kLevelTransfer, "ReadFile(LPT) = dwDataLength:%08Xh dwReadLength:%08Xh\n",
            dwBufferLength, read);
  if (openedHere) {
    VopP2Close(PORT_LPT);
  }
  return 1;
}

}  // namespace vopp2
