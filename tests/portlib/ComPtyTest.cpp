// The serial port over a real pseudo-terminal on the Linux backend.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <chrono>
#include <numeric>
#include <vector>

#include "PseudoTerminal.h"
#include "VopP2.h"
#include "platform/FailureReason.h"

namespace {

class ComPty : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(pty.ok());
    ::setenv("ZARNIK_COM5", pty.slavePath().c_str(), 1);
    VopP2GetParamPtr()->dwComNumber = 5;
  }
  void TearDown() override {
    VopP2Close(PORT_COM);
    ::unsetenv("ZARNIK_COM5");
  }
  testsupport::PseudoTerminal pty;
};

TEST_F(ComPty, ThePeerReadsExactlyWhatWasSentAndTheLineIsSetUp) {
  VopP2Param& param = *VopP2GetParamPtr();
  param.dwComBaudRate = 19200;
  param.byComStopBits = 2;
  param.byComParity = 2;  // a pseudo-terminal keeps no parity; the setting must be accepted
  ASSERT_EQ(VopP2Open(PORT_COM), 1) << VopP2GetMessage();
  const termios seen = pty.SlaveSettings();
  EXPECT_EQ(cfgetospeed(&seen), B19200);
  EXPECT_NE(seen.c_cflag & CSTOPB, 0U);
  EXPECT_NE(seen.c_cflag & CRTSCTS, 0U);  // CTS output flow and RTS handshake
  EXPECT_EQ(seen.c_iflag & (IXON | IXOFF), 0U);

  std::vector<std::uint8_t> data(5000);
  std::iota(data.begin(), data.end(), std::uint8_t{0});
  std::uint32_t written = 0;
  EXPECT_EQ(VopP2Write(PORT_COM, data.data(), 5000, &written), 1);
  EXPECT_EQ(pty.Receive(data.size()), data);

  pty.Send({0x10, 0x11, 0x13, 0x0D});
  std::uint8_t reply[64] = {};
  std::uint32_t read = 0;
  EXPECT_EQ(VopP2Read(PORT_COM, reply, sizeof reply, &read, 0), 1);
  ASSERT_EQ(read, 4U);
  EXPECT_EQ(reply[1], 0x11);
  EXPECT_EQ(reply[3], 0x0D);
}

TEST_F(ComPty, ASilentLineReturnsNothingWithinItsBound) {
  std::uint8_t reply[256];
  std::uint32_t read = 7;
  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(VopP2Read(PORT_COM, reply, sizeof reply, &read, 0), 1);
  const auto took = std::chrono::steady_clock::now() - start;
  EXPECT_EQ(read, 0U);
  EXPECT_EQ(platform::LastFailureReason().kind, platform::FailureKind::kNotAnswering);
  EXPECT_GE(took, std::chrono::milliseconds(1400));
  EXPECT_LT(took, std::chrono::milliseconds(2500));
}

TEST_F(ComPty, XonXoffSettingsReachTheTty) {
  VopP2Param& param = *VopP2GetParamPtr();
  param.fComOutxCtsFlow = 0;
  param.dwComRtsControl = 1;
  param.fComOutX = 1;
  param.fComInX = 1;
  ASSERT_EQ(VopP2Open(PORT_COM), 1) << VopP2GetMessage();
  const termios seen = pty.SlaveSettings();
  EXPECT_EQ(seen.c_cflag & CRTSCTS, 0U);
  EXPECT_NE(seen.c_iflag & IXON, 0U);
  EXPECT_NE(seen.c_iflag & IXOFF, 0U);
  EXPECT_EQ(seen.c_cc[VSTART], 0x11);
  EXPECT_EQ(seen.c_cc[VSTOP], 0x13);
}

TEST_F(ComPty, AnUnsupportedBaudRateIsRefusedWithTheSetCommStateText) {
  VopP2GetParamPtr()->dwComBaudRate = 14400;
  EXPECT_EQ(VopP2Open(PORT_COM), 0);
  EXPECT_STREQ(VopP2GetMessage(), "VopP2Open:SetCommState(PORT_COM) : failure\n");
}

}  // namespace
