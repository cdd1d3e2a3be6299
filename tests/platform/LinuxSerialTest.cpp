#include <gtest/gtest.h>
#include <stdlib.h>

#include <chrono>
#include <vector>

#include "PseudoTerminal.h"
#include "platform/Services.h"

namespace {

using namespace platform;
using Clock = std::chrono::steady_clock;

class LinuxSerial : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(pty.ok());
    ::setenv("ZARNIK_COM7", pty.slavePath().c_str(), 1);
    line = os.CreateFile(R"(\\.\COM7)", kGenericRead | kGenericWrite, 0, kOpenExisting,
                         kFileAttributeNormal);
    ASSERT_NE(line, kInvalidHandle) << os.GetLastError();
  }
  void TearDown() override {
    if (line != kInvalidHandle) {
      os.CloseHandle(line);
    }
    ::unsetenv("ZARNIK_COM7");
  }

  long long TimedRead(std::uint32_t length, std::uint32_t& count) {
    std::vector<std::uint8_t> buffer(length);
    const auto start = Clock::now();
    EXPECT_TRUE(os.ReadFile(line, buffer.data(), length, &count));
    return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count();
  }

  Services& os = RealMachine();
  testsupport::PseudoTerminal pty;
  Handle line = kInvalidHandle;
};

TEST_F(LinuxSerial, PeerReceivesExactlyWhatWasWrittenAndAnswers) {
  std::vector<std::uint8_t> bytes(3000);
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    bytes[i] = static_cast<std::uint8_t>(i * 7);  // includes CR, LF, XON, XOFF and 0
  }
  std::uint32_t written = 0;
  ASSERT_TRUE(os.WriteFile(line, bytes.data(), static_cast<std::uint32_t>(bytes.size()), &written));
  EXPECT_EQ(written, bytes.size());
  EXPECT_EQ(pty.Receive(bytes.size()), bytes);

  ASSERT_TRUE(os.SetCommTimeouts(line, {50, 0, 1000, 0, 0}));
  pty.Send({0x0D, 0x0A, 0x00, 0x11});
  std::uint8_t reply[16] = {};
  std::uint32_t read = 0;
  ASSERT_TRUE(os.ReadFile(line, reply, sizeof reply, &read));
  ASSERT_EQ(read, 4U);
  EXPECT_EQ(reply[0], 0x0D);
  EXPECT_EQ(reply[3], 0x11);
}

TEST_F(LinuxSerial, ReadTimeOutsBoundASilentLine) {
  ASSERT_TRUE(os.SetCommTimeouts(line, {50, 0, 300, 0, 0}));
  std::uint32_t count = 99;
  const long long total = TimedRead(64, count);
  EXPECT_EQ(count, 0U);
  EXPECT_GE(total, 250);
  EXPECT_LT(total, 1500);

  ASSERT_TRUE(os.SetCommTimeouts(line, {kMaxDword, 0, 0, 0, 0}));
  EXPECT_LT(TimedRead(64, count), 100);
  EXPECT_EQ(count, 0U);

  ASSERT_TRUE(os.SetCommTimeouts(line, {kMaxDword, kMaxDword, 200, 0, 0}));
  pty.Send({1, 2});
  EXPECT_LT(TimedRead(64, count), 150);  // returns on the first bytes
  EXPECT_EQ(count, 2U);
}

TEST_F(LinuxSerial, IntervalTimeOutEndsAReplyAfterItsLastByte) {
  ASSERT_TRUE(os.SetCommTimeouts(line, {50, 0, 5000, 0, 0}));
  pty.Send({1, 2, 3});
  std::uint32_t count = 0;
  EXPECT_LT(TimedRead(64, count), 1000);
  EXPECT_EQ(count, 3U);
}

TEST_F(LinuxSerial, ALineThatHungUpFailsAtOnceAsNotConnected) {
  ASSERT_TRUE(os.SetCommTimeouts(line, {50, 0, 1500, 0, 0}));
  pty.HangUp();
  std::uint8_t reply[16];
  std::uint32_t count = 0;
  const auto start = Clock::now();
  EXPECT_FALSE(os.ReadFile(line, reply, sizeof reply, &count));
  EXPECT_EQ(os.GetLastError(), kErrorDeviceNotConnected);
  EXPECT_LT(Clock::now() - start, std::chrono::milliseconds(1000));
}

TEST_F(LinuxSerial, LineSettingsAreAppliedToTheTty) {
  CommState state;
  ASSERT_TRUE(os.GetCommState(line, &state));
  state.BaudRate = 19200;
  state.StopBits = 2;
  state.fOutxCtsFlow = 1;
  state.fRtsControl = kRtsControlHandshake;
  state.fDtrControl = kDtrControlHandshake;
  state.XonLim = 100;
  ASSERT_TRUE(os.SetCommState(line, state));
  const termios seen = pty.SlaveSettings();
  EXPECT_EQ(cfgetospeed(&seen), B19200);
  EXPECT_NE(seen.c_cflag & CSTOPB, 0U);
  EXPECT_NE(seen.c_cflag & CRTSCTS, 0U);
  EXPECT_EQ(seen.c_lflag & (ICANON | ECHO), 0U);

  CommState back;
  ASSERT_TRUE(os.GetCommState(line, &back));
  EXPECT_EQ(back.BaudRate, 19200U);
  EXPECT_EQ(back.StopBits, 2);
  EXPECT_EQ(back.fOutxCtsFlow, 1U);
  EXPECT_EQ(back.fDtrControl, kDtrControlHandshake);
  EXPECT_EQ(back.XonLim, 100);

  state.BaudRate = 14400;
  EXPECT_FALSE(os.SetCommState(line, state));
  EXPECT_EQ(os.GetLastError(), kErrorInvalidParameter);
  const termios unchanged = pty.SlaveSettings();
  EXPECT_EQ(cfgetospeed(&unchanged), B19200);
}

TEST_F(LinuxSerial, TheLineIsHeldExclusively) {
  const Handle second = os.CreateFile(R"(\\.\COM7)", kGenericRead | kGenericWrite, 0, kOpenExisting,
                                      kFileAttributeNormal);
  EXPECT_EQ(second, kInvalidHandle);
  EXPECT_EQ(os.GetLastError(), kErrorSharingViolation);
  ASSERT_TRUE(os.CloseHandle(line));
  line = os.CreateFile(R"(\\.\COM7)", kGenericRead | kGenericWrite, 0, kOpenExisting,
                       kFileAttributeNormal);
  EXPECT_NE(line, kInvalidHandle);
}

TEST(LinuxSerialPaths, AComPortWithoutATtyIsNotFound) {
  ::setenv("ZARNIK_COM9", "/nonexistent/tty", 1);
  EXPECT_EQ(RealMachine().CreateFile(R"(\\.\COM9)", kGenericRead | kGenericWrite, 0, kOpenExisting,
                                     kFileAttributeNormal),
            kInvalidHandle);
  EXPECT_EQ(RealMachine().GetLastError(), kErrorFileNotFound);
  ::unsetenv("ZARNIK_COM9");
}

}  // namespace
