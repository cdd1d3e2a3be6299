// The two line primitives every handshake is made of, the waits built on them, and the
// busy-wait clock of the direct-access writes. Masks are line levels as on the cable; the
// primitives are the one place where the register inversions are handled.
#pragma once

#include <cstdint>
#include <optional>

namespace vopp2 {

// Reads the control register and writes it back with the lines in set raised and those in
// clear lowered. Bits outside the inverted lines (the data direction 0x20) are plain bits.
void SetLptControlLines(std::uint8_t set, std::uint8_t clear);

// One status read: true when every line in high is high and every line in low is low.
bool TestLptStatusLines(std::uint8_t high, std::uint8_t low);

// Tests once, then again while the extra tests number at most limit: at most limit + 1
// status reads, no sleeping, no clock. True as soon as a test succeeds.
bool WaitLptStatusLines(std::uint8_t high, std::uint8_t low, std::uint32_t limit);

// Bounds a write's wait for the peripheral (Busy, or the FIFO emptying) by time, without
// reading the clock while stalls are short: after dwPollsBeforeClock unsuccessful polls it
// notes the time of day in seconds, and from the poll after dwPollsBeforeCheck on it reads
// the time at every poll and expires once dwTimeOut seconds have passed.
class BusyWaitClock {
 public:
  BusyWaitClock();
  // A new byte or chunk: the count of unsuccessful polls starts from 0.
  void Restart();
  // Counts one unsuccessful poll; true when the wait has gone on too long.
  bool Expired();

 private:
  std::uint32_t pollsBeforeClock_;
  std::uint32_t pollsBeforeCheck_;
  std::uint32_t timeOut_;
  std::uint64_t polls_ = 0;
  std::optional<std::uint32_t> start_;
};

}  // namespace vopp2
