// The line primitives and the busy-wait clock on the library's own objects: masks are line
// levels, the register bits of nStrobe, nAutoFd, nSelectIn and Busy are inverted.
#include "LptLines.h"

#include <gtest/gtest.h>

#include <memory>

#include "LibraryState.h"
#include "LptRegisters.h"
#include "sim/Machine.h"

namespace {

using namespace vopp2;

class Registers final : public sim::PortRegisters {
 public:
  std::uint16_t Base() const override { return 0x378; }
  std::uint8_t In(std::uint16_t address) override { return address == 0x379 ? status : control; }
  void Out(std::uint16_t /*address*/, std::uint8_t value) override { control = value; }
  std::uint8_t status = 0;
  std::uint8_t control = 0;
};

class LptLines : public ::testing::Test {
 protected:
  LptLines() { machine.AttachPortRegisters(registers); }
  sim::Machine machine;
  sim::ScopedInstall installed{machine};
  std::shared_ptr<Registers> registers = std::make_shared<Registers>();
};

TEST_F(LptLines, ControlLinesAreSetAndClearedAsLineLevels) {
  const PortClaim claim("test");
  ASSERT_TRUE(claim.Held());
  registers->control = 0x00;  // nStrobe, nAutoFd, nSelectIn high, nInit low
  SetLptControlLines(kNInit, kNStrobe | kNAutoFd | kNSelectIn);
  EXPECT_EQ(registers->control, 0x0F);
  SetLptControlLines(kNStrobe | kNAutoFd | kNSelectIn | kDataInput, kNInit);
  EXPECT_EQ(registers->control, 0x20);
  SetLptControlLines(0, kNAutoFd | kDataInput);  // the other lines stay
  EXPECT_EQ(registers->control, 0x02);
}

TEST_F(LptLines, StatusLinesAreTestedAsLineLevels) {
  const PortClaim claim("test");
  registers->status = 0x80;  // every line low: Busy's register bit reads 1
  EXPECT_TRUE(TestLptStatusLines(0, kBusy | kNAck | kPError | kSelect | kNFault));
  EXPECT_FALSE(TestLptStatusLines(kBusy, 0));
  registers->status = 0x78;  // every line high
  EXPECT_TRUE(TestLptStatusLines(kBusy | kNAck | kPError | kSelect | kNFault, 0));
  EXPECT_FALSE(TestLptStatusLines(kNAck, kBusy));
}

// Each clock reading moves the machine's clock 1 s: the clock is read once at poll 1000,
// then at every poll from 5001 on, and the wait ends 10 s after the first reading.
TEST_F(LptLines, TheBusyWaitClockReadsTheTimeOnlyAfterItsPollCounts) {
  machine.SetClockStepPerReading(1000);
  const std::uint64_t start = machine.NowMilliseconds();
  BusyWaitClock clock;
  int polls = 1;
  while (!clock.Expired()) {
    ++polls;
    if (polls == 5000) {
      EXPECT_EQ(machine.NowMilliseconds() - start, 1000U);
    }
  }
  EXPECT_EQ(polls, 5010);
  Library().param.dwPollsBeforeClock = 0;  // still bounded
  BusyWaitClock unstarted;
  polls = 1;
  while (!unstarted.Expired()) {
    ++polls;
  }
  EXPECT_EQ(polls, 5010);
  Library().param.dwPollsBeforeClock = 1000;
}

// The clock is the time of day: one set back while a wait goes on starts the time again
// instead of ending the wait (and the transfer) at once.
TEST_F(LptLines, AClockSetBackStartsTheWaitAgain) {
  machine.SetClockStepPerReading(0);
  machine.SetTimeOfDaySeconds(1000);
  BusyWaitClock clock;
  for (int poll = 0; poll < 6000; ++poll) {
    ASSERT_FALSE(clock.Expired());
  }
  machine.SetTimeOfDaySeconds(5);
  EXPECT_FALSE(clock.Expired());
  machine.SetTimeOfDaySeconds(5 + Library().param.dwTimeOut - 1);
  EXPECT_FALSE(clock.Expired());
  machine.SetTimeOfDaySeconds(5 + Library().param.dwTimeOut);
  EXPECT_TRUE(clock.Expired());
}

}  // namespace
