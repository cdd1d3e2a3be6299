#include "sim/ComLine.h"

#include <gtest/gtest.h>

#include <memory>

#include "sim/Machine.h"

namespace {

using namespace platform;

class SimComLine : public ::testing::Test {
 protected:
  void SetUp() override { machine.AttachDevice(R"(\\.\COM1)", line); }
  Handle Open() {
    return machine.CreateFile(R"(\\.\COM1)", kGenericRead | kGenericWrite, 0, kOpenExisting,
                              kFileAttributeNormal);
  }

  sim::Machine machine;
  std::shared_ptr<sim::ComLine> line = std::make_shared<sim::ComLine>();
};

TEST_F(SimComLine, PeerSeesWritesSettingsAndFeedsReads) {
  const Handle handle = Open();
  ASSERT_NE(handle, kInvalidHandle);
  EXPECT_TRUE(line->IsOpen());
  std::uint32_t count = 0;
  EXPECT_TRUE(machine.WriteFile(handle, "ab", 2, &count));
  EXPECT_TRUE(machine.WriteFile(handle, "c", 1, &count));
  EXPECT_EQ(line->Written(), (std::vector<std::uint8_t>{'a', 'b', 'c'}));
  EXPECT_EQ(line->WriteRequests(), (std::vector<std::uint32_t>{2, 1}));

  CommState state;
  ASSERT_TRUE(machine.GetCommState(handle, &state));
  EXPECT_EQ(state.BaudRate, 9600U);
  state.BaudRate = 38400;
  EXPECT_TRUE(machine.SetCommState(handle, state));
  EXPECT_EQ(line->LineSettings().BaudRate, 38400U);
  EXPECT_TRUE(machine.SetCommTimeouts(handle, {50, 0, 1500, 2, 10000}));
  EXPECT_EQ(line->Timeouts().ReadTotalTimeoutConstant, 1500U);
  EXPECT_TRUE(machine.SetupComm(handle, 100, 200));
  EXPECT_EQ(line->OutQueue(), 200U);

  const std::uint8_t reply[] = {1, 2, 3, 4, 5};
  line->Deliver(reply);
  std::uint8_t buffer[3] = {};
  EXPECT_TRUE(machine.ReadFile(handle, buffer, sizeof buffer, &count));
  EXPECT_EQ(count, 3U);
  EXPECT_EQ(line->PendingBytes(), 2U);
  line->SetSilent(true);
  EXPECT_TRUE(machine.ReadFile(handle, buffer, sizeof buffer, &count));
  EXPECT_EQ(count, 0U);
  EXPECT_TRUE(machine.CloseHandle(handle));
  EXPECT_FALSE(line->IsOpen());
}

TEST_F(SimComLine, HeldExclusivelyAndFailsOrWritesShortWhenTold) {
  const Handle handle = Open();
  EXPECT_EQ(Open(), kInvalidHandle);
  EXPECT_EQ(machine.GetLastError(), kErrorAccessDenied);

  line->LimitWrites(2);
  std::uint32_t count = 0;
  EXPECT_TRUE(machine.WriteFile(handle, "abcde", 5, &count));
  EXPECT_EQ(count, 2U);
  line->Fail(sim::ComOperation::kWrite, kErrorIoDevice);
  EXPECT_FALSE(machine.WriteFile(handle, "x", 1, &count));
  EXPECT_EQ(machine.GetLastError(), kErrorIoDevice);
  line->Fail(sim::ComOperation::kSetCommState, kErrorInvalidParameter);
  EXPECT_FALSE(machine.SetCommState(handle, CommState{}));
  line->Heal(sim::ComOperation::kWrite);
  EXPECT_TRUE(machine.WriteFile(handle, "x", 1, &count));
  machine.CloseHandle(handle);

  line->Fail(sim::ComOperation::kOpen, kErrorFileNotFound);
  EXPECT_EQ(Open(), kInvalidHandle);
  EXPECT_EQ(machine.GetLastError(), kErrorFileNotFound);
  EXPECT_EQ(line->OpenCount(), 1);
}

}  // namespace
