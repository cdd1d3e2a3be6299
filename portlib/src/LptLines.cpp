#include "LptLines.h"

#include "LibraryState.h"
#include "LptRegisters.h"
#include "platform/Services.h"

namespace vopp2 {

void SetLptControlLines(std::uint8_t set, std::uint8_t clear) {
  const auto bitsToSet =
      static_cast<std::uint8_t>((set & ~kInvertedControl) | (clear & kInvertedControl));
  const auto bitsToClear =
      static_cast<std::uint8_t>((clear & ~kInvertedControl) | (set & kInvertedControl));
  const std::uint8_t control = ReadRegister(kControlRegister);
  WriteRegister(kControlRegister, static_cast<std::uint8_t>((control & ~bitsToClear) | bitsToSet));
}

bool TestLptStatusLines(std::uint8_t high, std::uint8_t low) {
  const auto mustBeOne =
      static_cast<std::uint8_t>((high & ~kInvertedStatus) | (low & kInvertedStatus));
  const auto mustBeZero =
      static_cast<std::uint8_t>((low & ~kInvertedStatus) | (high & kInvertedStatus));
  const std::uint8_t status = ReadRegister(kStatusRegister);
  return (status & mustBeOne) == mustBeOne && (status & mustBeZero) == 0;
}

bool WaitLptStatusLines(std::uint8_t high, std::uint8_t low, std::uint32_t limit) {
  for (std::uint64_t extra = 0; extra <= limit; ++extra) {
    if (TestLptStatusLines(high, low)) {
      return true;
    }
  }
  return false;
}

BusyWaitClock::BusyWaitClock()
    : pollsBeforeClock_(Library().param.dwPollsBeforeClock),
      pollsBeforeCheck_(Library().param.dwPollsBeforeCheck),
      timeOut_(Library().param.dwTimeOut) {}

void BusyWaitClock::Restart() {
  polls_ = 0;
  start_.reset();
}

// The clock starts once the count has reached dwPollsBeforeClock, also when that is 0, and
// the checks wait for it, so that every setting gives a bounded wait. A clock set back
// while waiting starts the time again instead of ending the wait at once.
bool BusyWaitClock::Expired() {
  ++polls_;
  if (!start_) {
    if (polls_ >= pollsBeforeClock_) {
      start_ = platform::Current().GetTimeOfDaySeconds();
    }
    return false;
  }
  if (polls_ <= pollsBeforeCheck_) {
    return false;
  }
  const std::uint32_t now = platform::Current().GetTimeOfDaySeconds();
  if (now < *start_) {
    start_ = now;
    return false;
  }
  return now - *start_ >= timeOut_;
}

}  // namespace vopp2
