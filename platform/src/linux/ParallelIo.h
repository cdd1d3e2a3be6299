// Reads and writes on a parallel-port device ("\\.\LPTn") with bounded waits, so that a
// printer that never answers or never takes data cannot hang the caller. The descriptor is
// non-blocking; waits are poll() calls of at most kWaitSliceMs each, because /dev/lp has no
// poll support of its own (it always reports ready) and is then simply tried again.
#pragma once

#include <chrono>
#include <cstdint>

namespace platform::linux_backend {

inline constexpr int kWaitSliceMs = 10;
// A read waits this long for the first byte; a silent printer gives 0 bytes, not a failure.
inline constexpr int kReadFirstByteMs = 500;
// Once bytes have come, the reply has ended when no more arrive for this long.
inline constexpr int kReadGapMs = 50;
// A write fails with kErrorSemTimeout when the printer takes no byte for this long.
inline constexpr int kWriteStallMs = 10000;

// Waits one slice (at most) for the device to be ready for events. A device that claims to
// be ready at once right after an attempt found nothing (/dev/lp) costs a short sleep
// instead, so the retries do not spin. False when poll() itself fails.
bool WaitSlice(int fd, short events, std::chrono::steady_clock::time_point deadline);

// Reads up to length bytes; true with the bytes that came (maybe none) unless the device
// fails.
bool ParallelRead(int fd, std::uint8_t* buffer, std::uint32_t length, std::uint32_t& count);

// Writes all bytes; false (kErrorSemTimeout) when the printer stalls for kWriteStallMs, with
// count the bytes it took before.
bool ParallelWrite(int fd, const std::uint8_t* data, std::uint32_t length, std::uint32_t& count);

}  // namespace platform::linux_backend
