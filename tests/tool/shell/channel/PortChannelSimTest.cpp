// The port channel over the real port library on the simulated machine: where the port kinds
// lead inside the library, and what the pushed debug level makes the library say.
#include <algorithm>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "TempFolder.h"
#include "VopP2.h"
#include "channel/PortChannel.h"
#include "channel/PortSettings.h"
#include "sim/Machine.h"

namespace {

using testing_support::ReadText;
using testing_support::TempFolder;

class PortChannelSimTest : public ::testing::Test {
 protected:
  PortChannelSimTest() { channel::ProcessPortSettings() = channel::PortSettings{}; }
  ~PortChannelSimTest() override {
    *VopP2GetParamPtr() = savedBlock_;
    channel::ProcessPortSettings() = channel::PortSettings{};
    VopP2SetDebugLevel(-1);
  }

  // Position of a debug line, or -1.
  std::ptrdiff_t LineAt(const std::string& line) const {
    const auto lines = machine_.DebugLines();
    const auto found = std::find(lines.begin(), lines.end(), line);
    return found == lines.end() ? -1 : found - lines.begin();
  }

  const VopP2Param savedBlock_ = *VopP2GetParamPtr();
  sim::Machine machine_;  // Windows XP
  sim::ScopedInstall installed_{machine_};
  TempFolder folder_;
  channel::PortChannel channel_;
  const std::uint8_t frame_[4] = {0x1B, 0x40, 0x00, 0x02};
};

TEST_F(PortChannelSimTest, PrinterKindsReachTheParallelAndUsbTransports) {
  const auto capture = (folder_ / "capture.prn").string();
  std::uint32_t count = 7;

  EXPECT_EQ(channel_.Write(3, 0, frame_, sizeof frame_, &count, capture.c_str()), 0);
  EXPECT_EQ(count, 0U);
  EXPECT_NE(std::string(channel_.LastMessage()).find("(PORT_USB)"), std::string::npos)
      << channel_.LastMessage();
  EXPECT_FALSE(std::filesystem::exists(capture));  // USB alone never writes the output file

  EXPECT_EQ(channel_.Write(1, 0, frame_, sizeof frame_, &count, capture.c_str()), 0);
  EXPECT_NE(std::string(channel_.LastMessage()).find("(PORT_LPT)"), std::string::npos)
      << channel_.LastMessage();
  EXPECT_FALSE(std::filesystem::exists(capture));

  // Kind 2: the file first, then the parallel port, whose result is the call's.
  EXPECT_EQ(channel_.Write(2, 0, frame_, sizeof frame_, &count, capture.c_str()), 0);
  EXPECT_EQ(ReadText(capture), std::string("\x1B\x40\x00\x02", 4));
  EXPECT_NE(std::string(channel_.LastMessage()).find("(PORT_LPT)"), std::string::npos);

  std::uint8_t reply[32] = {};
  EXPECT_EQ(channel_.Read(3, 2, reply, sizeof reply, 0x10, &count), 0);
  EXPECT_EQ(count, 0U);
  EXPECT_NE(std::string(channel_.LastMessage()).find("(PORT_USB)"), std::string::npos)
      << channel_.LastMessage();
  EXPECT_STREQ(VopP2GetParamPtr()->szOutputFile, capture.c_str());
  EXPECT_EQ(VopP2GetParamPtr()->dwLptMode, 3U);
  EXPECT_EQ(machine_.OpenHandleCount(), 0U);  // every port the library opened is closed again
}

TEST_F(PortChannelSimTest, DebugLevelOfTheRecordIsSetBeforeEachCall) {
  const auto capture = (folder_ / "capture.prn").string();
  std::uint32_t written = 0;
  channel::ProcessPortSettings().debugLevel = 40;
  ASSERT_NE(channel_.Write(0, 0, frame_, sizeof frame_, &written, capture.c_str()), 0)
      << channel_.LastMessage();
  const auto setLevel = LineAt("VopP2SetDebugLevel = 40, OS# = 5, OSNAME = OS_WINXP\n");
  const auto write = LineAt("VopP2Write\n");
  ASSERT_GE(setLevel, 0);
  EXPECT_GT(write, setLevel);

  // Back at -1 only failures are written, and this write does not fail. The parameter block
  // is fetched (and logged, at the old level) before the settings go in.
  channel::ProcessPortSettings().debugLevel = -1;
  machine_.ClearDebugLines();
  ASSERT_NE(channel_.Write(0, 0, frame_, sizeof frame_, &written, capture.c_str()), 0);
  EXPECT_EQ(machine_.DebugLines(), std::vector<std::string>{"VopP2GetParamPtr\n"});
  EXPECT_EQ(VopP2GetDebugLevel(), -1);
  EXPECT_EQ(ReadText(capture).size(), 2 * sizeof frame_);  // the file port appends
}

}  // namespace
