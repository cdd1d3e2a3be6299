#include "DriverRead.h"

#include <algorithm>
#include <array>
#include <cstdio>

#include "Diagnostics.h"
#include "LibraryState.h"
#include "Transports.h"
#include "VopP2.h"
#include "platform/Services.h"

namespace vopp2 {

namespace {

// Room the device identification gets behind its two length bytes.
constexpr std::uint32_t kDeviceIdRoom = 1022;

// The driver gets its full room, since a driver refuses a room shorter than the identification
// it holds; the caller's buffer gets what fits of it. The length in front stays the printer's;
// the count is, as for a whole one, the text the buffer holds plus one.
bool ReadDeviceId(platform::Handle handle, std::uint8_t* buffer, std::uint32_t bufferLength,
                  std::uint32_t& read) {
  std::array<std::uint8_t, kDeviceIdRoom> id{};
  std::uint32_t returned = 0;
  if (!platform::Current().DeviceIoControl(handle, platform::kIoctlParQueryDeviceId, nullptr, 0,
                                           id.data(), kDeviceIdRoom, &returned)) {
    return false;
  }
  returned = std::min(returned, kDeviceIdRoom);
  const std::uint32_t kept = std::min(returned, bufferLength - 2);
  std::copy_n(id.begin(), kept, buffer + 2);
  const std::uint32_t n = returned + 1;
  read = kept + 1;
  buffer[0] = static_cast<std::uint8_t>(n >> 8);
  buffer[1] = static_cast<std::uint8_t>(n & 0xFFU);
  return true;
}

}  // namespace

bool EnsureOpen(std::int32_t port, const platform::Handle& handle, const char* invalidText,
                bool& openedHere) {
  openedHere = false;
  if (handle != platform::kInvalidHandle) {
    return true;
  }
  {
    const OwnCall own;
    if (VopP2Open(port) == 0) {
      return false;
    }
  }
  openedHere = true;
  if (handle == platform::kInvalidHandle) {
    ReportFailure("%s", invalidText);
    return false;
  }
  return true;
}

std::int32_t ReadThroughDriver(std::int32_t port, const platform::Handle& handle, const char* mode,
                               const char* portWord, std::uint8_t* lpBuffer,
                               std::uint32_t dwBufferLength, std::uint32_t* lpdwRead,
                               std::uint8_t byRequest) {
  std::uint32_t spare = 0;
  std::uint32_t& read = CountTarget(lpdwRead, spare);
  read = 0;
  const bool deviceId = !OrdinaryReverseData(byRequest);
  // No room for the two length bytes: nothing is asked of the printer.
  if (deviceId && lpBuffer == nullptr) {
    ReportFailure("%s : failure (lpBuffer == NULL)\n", mode);
    return 0;
  }
  if (deviceId && dwBufferLength < 2) {
    ReportFailure("%s : failure (dwBufferLength < 2)\n", mode);
    return 0;
  }
  char invalidText[160];
  std::snprintf(invalidText, sizeof invalidText, "%s:hHandle[PORT_%s] : INVALID_HANDLE_VALUE\n",
                mode, portWord);
  bool openedHere = false;
  if (!EnsureOpen(port, handle, invalidText, openedHere)) {
    return 0;
  }
  const bool ok = deviceId ? ReadDeviceId(handle, lpBuffer, dwBufferLength, read)
                           : platform::Current().ReadFile(handle, lpBuffer, dwBufferLength, &read);
  if (!ok) {
    read = 0;
    const OwnCall own;
    VopP2Close(port);
    ReportFailure("VopP2Read(%s) : failure\n", portWord);
    return 0;
  }
  DebugLine(kLevelTransfer, "ReadFile(%s) = dwDataLength:%08Xh dwReadLength:%08Xh\n", portWord,
            dwBufferLength, read);
  if (openedHere) {
    const OwnCall own;
    VopP2Close(port);
  }
  return 1;
}

}  // namespace vopp2
