// The library's one static record: the parameter block the caller writes, the last failure
// text, the debug level and the transports' handles.
#pragma once

#include <cstdint>

#include "BridgeModule.h"
#include "VopP2.h"
#include "platform/WinApi.h"

namespace vopp2 {

inline constexpr std::size_t kMessageSize = 512;

struct LibraryState {
  VopP2Param param;
  char szMessage[kMessageSize];
  std::int32_t nDebugLevel;
  platform::Handle hFile;
  platform::Handle hLpt;  // 0: open for direct register access
  platform::Handle hCom;
  platform::Handle hUsb;
  platform::Handle hUsbRead;
  platform::Handle hUsbWrite;
  std::intptr_t VopUsb_hUsb;
  std::uint32_t dwEcpState;
  BridgeModule bridge;
};

// The record, with every value at its default until the caller changes it.
LibraryState& Library();

}  // namespace vopp2
