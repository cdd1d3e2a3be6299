// Reads and writes on a parallel-port device ("\\.\LPTn") with bounded waits, so that a
// printer that never answers or never takes data cannot hang the caller. The descriptor is
// non-blocking; waits are poll() calls of at most kWaitSliceMs each, because /dev/lp has no
// poll support of its own (it always reports ready) and is then simply tried again.
#pragma once

#include <cstdint>

namespace platform::linux_backend {

inline constexpr int kWaitSliceMs = 10;
// A read waits this long for the first byte; a silent printer gives 0 bytes, not a failure.
inline constexpr int kReadFirstByteMs = 500;
// Once bytes have come, the reply has ended when no more arrive for this long.
inline constexpr int kReadGapMs = 50;
// A write fails with kErrorSemTimeout when the printer takes no byte for this long.
inline constexpr int kWriteStallMs = 10000;

// Reads up to length bytes; true with the bytes that came (maybe none) unless the device
// fails.
bool ParallelRead(int fd, std::uint8_t* buffer, std::uint32_t length, std::uint32_t& count);

// Writes all bytes; false (kErrorSemTimeout) when the printer stalls for kWriteStallMs, with
// count the bytes it took before. untilSent: the driver sends what a write took after the call
// has returned and says so by reporting the device writable again (the USB printer driver,
// which drops a transfer still under way when the device is closed); each write is then
// followed by the wait for that, so the call ends only once the last bytes have gone.
bool ParallelWrite(int fd, const std::uint8_t* data, std::uint32_t length, std::uint32_t& count,
                   bool untilSent = false);

}  // namespace platform::linux_backend
