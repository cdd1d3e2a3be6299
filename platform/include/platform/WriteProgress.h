// How many bytes the devices and files have taken so far, counted as each write moves them.
// The backends count the bytes of a write as the device takes them (a printer port takes a
// long write piece by piece), so that a front end can show how far a long transfer has got
// while the write is still under way, from another thread, without touching the port.
#pragma once

#include <cstdint>

#include "platform/Services.h"

namespace platform {

// A write begins on the calling thread: its bytes are counted from 0.
ZARNIK_PLATFORM_API void BeginWriteCount();
// So many bytes of the write begun last on this thread have been taken so far. A value not
// above one said before for the same write adds nothing, so the layers of a write (the machine,
// the link, the device) may each say what they know without counting a byte twice.
ZARNIK_PLATFORM_API void CountBytesTaken(std::uint64_t takenSoFar);
// Every byte taken by any write since the program started. Any thread may read it at any time.
ZARNIK_PLATFORM_API std::uint64_t BytesTakenSinceStart();

}  // namespace platform
