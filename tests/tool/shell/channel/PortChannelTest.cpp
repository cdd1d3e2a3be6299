// The port channel over the real port library, on its file port (a capture file in a
// temporary folder), and the parameter block fields it sets.
#include "channel/PortChannel.h"

#include <cstring>

#include <gtest/gtest.h>

#include "TempFolder.h"
#include "VopP2.h"
#include "channel/FailureExplanation.h"
#include "channel/PortSettings.h"
#include "platform/FailureReason.h"

namespace {

using testing_support::ReadText;
using testing_support::TempFolder;

class PortChannelTest : public ::testing::Test {
 protected:
  void SetUp() override {
    auto& record = channel::ProcessPortSettings();
    record = channel::PortSettings{};
    record.debugLevel = -1;
    record.timeOut = 17;
    record.restoreDelay = 3;
    record.ecpNegotiationDelay = 4001;
    record.ecpTerminationDelay = 4002;
    record.lptReceptionDelay = 4003;
    record.lptReceptionTerminationTiming = 4004;
    record.usbVendorId = 0x04B8;
    record.usbProductId = 0x1234;
    record.forceVopUsb = 1;
    record.forceUsb11 = 1;
    std::strcpy(record.usbDevicePath, "/dev/usb/lp9");
  }

  TempFolder folder_;
  channel::PortChannel channel_;
  const std::uint8_t data_[4] = {0x1B, 0x40, 0x00, 0x02};
};

TEST(PortCodeTest, PortKindsToPortCodes) {
  EXPECT_EQ(channel::PortCodeOf(0), PORT_FILE);
  EXPECT_EQ(channel::PortCodeOf(1), PORT_LPT);
  EXPECT_EQ(channel::PortCodeOf(2), PORT_FILE | PORT_LPT);
  EXPECT_EQ(channel::PortCodeOf(3), PORT_USB);
  EXPECT_EQ(channel::PortCodeOf(5), 0);
  EXPECT_EQ(channel::PortCodeOf(255), 0);
  EXPECT_EQ(channel::PortCodeOf(-1), 0);
}

TEST_F(PortChannelTest, WritePushesTheSettingsAndWritesTheOutputFile) {
  const auto capture = (folder_ / "out.prn").string();
  std::uint32_t written = 0;
  ASSERT_NE(channel_.Write(0, 2, data_, sizeof data_, &written, capture.c_str()), 0)
      << channel_.LastMessage();
  EXPECT_EQ(written, sizeof data_);
  EXPECT_EQ(ReadText(capture), std::string("\x1B\x40\x00\x02", 4));

  const VopP2Param& param = *VopP2GetParamPtr();
  EXPECT_STREQ(param.szOutputFile, capture.c_str());
  EXPECT_EQ(param.dwLptMode, 3U);  // ECP FIFO
  EXPECT_EQ(param.dwTimeOut, 17U);
  EXPECT_EQ(param.dwRestoreDelay, 3U);
  EXPECT_EQ(param.dwECPNegotiationDelay, 4001U);
  EXPECT_EQ(param.dwECPTerminationDelay, 4002U);
  EXPECT_EQ(param.dwLptReceptionDelay, 4003U);
  EXPECT_EQ(param.dwLptReceptionTerminationTiming, 4004U);
  EXPECT_EQ(param.wUsbVendorId, 0x04B8);
  EXPECT_EQ(param.wUsbProductId, 0x1234);
  EXPECT_EQ(param.fForceVopUsb, 1U);
  EXPECT_EQ(param.fForceUsb11, 1U);
  EXPECT_STREQ(param.szUsbDevicePath, "/dev/usb/lp9");
  EXPECT_EQ(VopP2GetDebugLevel(), -1);
}

TEST_F(PortChannelTest, ReadLeavesTheOutputFileName) {
  const auto first = (folder_ / "first.prn").string();
  std::uint32_t count = 0;
  channel_.Write(0, 0, data_, sizeof data_, &count, first.c_str());
  EXPECT_EQ(VopP2GetParamPtr()->dwLptMode, 1U);  // Standard
  std::uint8_t reply[16] = {};
  channel::ProcessPortSettings().timeOut = 29;
  channel_.Read(0, 1, reply, sizeof reply, 0, &count);
  EXPECT_STREQ(VopP2GetParamPtr()->szOutputFile, first.c_str());
  EXPECT_EQ(VopP2GetParamPtr()->dwLptMode, 2U);
  EXPECT_EQ(VopP2GetParamPtr()->dwTimeOut, 29U);
}

TEST_F(PortChannelTest, KindTwoAlsoWritesTheFileAndUnknownKindsWriteNothing) {
  const auto capture = (folder_ / "both.prn").string();
  std::uint32_t written = 0;
  channel_.Write(2, 0, data_, sizeof data_, &written, capture.c_str());
  EXPECT_EQ(ReadText(capture).size(), sizeof data_);

  const auto none = (folder_ / "none.prn").string();
  EXPECT_EQ(channel_.Write(255, 0, data_, sizeof data_, &written, none.c_str()), 0);
  EXPECT_FALSE(std::filesystem::exists(none));
  EXPECT_EQ(
      channel::PortFailureDetail("Transmission Failure").rfind("The settings name no port", 0), 0U);
}

TEST_F(PortChannelTest, OutputFileNameIsCutToItsField) {
  const std::string longName(400, 'n');
  std::uint32_t written = 0;
  std::uint8_t reply[4] = {};
  channel_.Read(5, 0, reply, sizeof reply, 0, &written);  // no port: touches no file
  channel_.Write(5, 0, data_, sizeof data_, &written, longName.c_str());
  EXPECT_EQ(std::strlen(VopP2GetParamPtr()->szOutputFile), sizeof(VopP2Param::szOutputFile) - 1);
}

}  // namespace

namespace {

// A reason shown after a failed call is always that call's own: each channel call forgets
// what an earlier call noted, and the explanation names the device and keeps the detail.
TEST_F(PortChannelTest, ReasonBelongsToTheCallThatFailed) {
  platform::NoteFailureReason({platform::FailureKind::kInUse, "/dev/usb/lp0", ""});
  std::uint32_t written = 0;
  channel_.Write(0, 0, data_, sizeof data_, &written, (folder_.Path() / "out.prn").c_str());
  EXPECT_EQ(channel::ExplainLastFailure(), "");

  const std::string text = channel::ExplainFailure(
      {platform::FailureKind::kNotFound, "USB printer 04b8:1234", "Found: 04b8:0005"});
  EXPECT_EQ(text.rfind("USB printer 04b8:1234 was not found.", 0), 0U) << text;
  EXPECT_TRUE(text.ends_with("\nFound: 04b8:0005")) << text;
  EXPECT_EQ(channel::ExplainFailure({}), "");
}

}  // namespace
