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
  // The printing-support device path the caller's own open of PORT_USB reached, until the
  // caller closes the port (empty otherwise): the search of a reopen after a failed transfer
  // takes that printer only, never another with the same ids.
  char szHeldUsbPath[260];
  // Above 0 while the library opens or closes a port itself, around a transfer.
  std::int32_t nOwnCalls;
};

// The record, with every value at its default until the caller changes it.
LibraryState& Library();

// Marks an open or close the library makes of its own (a transfer that opens the port it
// needs, or closes it after a failure), to tell it from the caller's.
class OwnCall {
 public:
  OwnCall() { ++Library().nOwnCalls; }
  ~OwnCall() { --Library().nOwnCalls; }
  OwnCall(const OwnCall&) = delete;
  OwnCall& operator=(const OwnCall&) = delete;
};

inline bool CallersCall() {
  return Library().nOwnCalls == 0;
}

}  // namespace vopp2
