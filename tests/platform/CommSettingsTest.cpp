#include "linux/CommSettings.h"

#include <gtest/gtest.h>

namespace platform::linux_backend {
namespace {

CommState EightNoneOne() {
  CommState state;
  state.BaudRate = 9600;
  state.ByteSize = 8;
  state.fBinary = 1;
  state.XonChar = 0x11;
  state.XoffChar = 0x13;
  return state;
}

termios RoundTrip(const CommState& state, CommState& back) {
  termios settings{};
  EXPECT_EQ(ApplyCommState(state, settings), kErrorSuccess);
  ReadCommState(settings, back);
  return settings;
}

TEST(CommSettings, ParityByteSizeAndStopBitsSurviveTheRoundTrip) {
  for (std::uint8_t parity = 0; parity <= 4; ++parity) {
    for (std::uint8_t size = 5; size <= 8; ++size) {
      CommState state = EightNoneOne();
      state.Parity = parity;
      state.ByteSize = size;
      state.StopBits = 2;
      CommState back;
      RoundTrip(state, back);
      EXPECT_EQ(back.Parity, parity);
      EXPECT_EQ(back.ByteSize, size);
      EXPECT_EQ(back.StopBits, size == 5 ? 1 : 2);
    }
  }
}

TEST(CommSettings, ParityFlagsAreTheTermiosOnes) {
  CommState state = EightNoneOne();
  CommState back;
  state.Parity = 1;
  EXPECT_EQ(RoundTrip(state, back).c_cflag & (PARENB | PARODD | CMSPAR), PARENB | PARODD);
  state.Parity = 2;
  EXPECT_EQ(RoundTrip(state, back).c_cflag & (PARENB | PARODD | CMSPAR), PARENB);
  state.Parity = 4;
  EXPECT_EQ(RoundTrip(state, back).c_cflag & (PARENB | PARODD | CMSPAR), PARENB | CMSPAR);
  state.Parity = 0;
  state.fParity = 1;
  const termios plain = RoundTrip(state, back);
  EXPECT_EQ(plain.c_cflag & PARENB, 0U);
  EXPECT_NE(plain.c_iflag & INPCK, 0U);
}

TEST(CommSettings, ValuesTheLineCannotTakeAreRefusedAndChangeNothing) {
  termios settings{};
  settings.c_cflag = CS7;
  const termios before = settings;
  CommState state = EightNoneOne();
  state.BaudRate = 14400;  // no termios constant
  EXPECT_EQ(ApplyCommState(state, settings), kErrorInvalidParameter);
  state = EightNoneOne();
  state.StopBits = 1;  // 1.5 stop bits only with 5 data bits
  EXPECT_EQ(ApplyCommState(state, settings), kErrorInvalidParameter);
  state = EightNoneOne();
  state.fRtsControl = kRtsControlToggle;
  EXPECT_EQ(ApplyCommState(state, settings), kErrorInvalidParameter);
  state = EightNoneOne();
  state.ByteSize = 9;
  EXPECT_EQ(ApplyCommState(state, settings), kErrorInvalidParameter);
  EXPECT_EQ(settings.c_cflag, before.c_cflag);
}

TEST(CommSettings, HardwareAndSoftwareFlowControl) {
  CommState state = EightNoneOne();
  CommState back;
  EXPECT_EQ(RoundTrip(state, back).c_cflag & CRTSCTS, 0U);
  state.fOutxCtsFlow = 1;
  EXPECT_NE(RoundTrip(state, back).c_cflag & CRTSCTS, 0U);
  EXPECT_EQ(back.fRtsControl, kRtsControlHandshake);
  state.fOutxCtsFlow = 0;
  state.fRtsControl = kRtsControlHandshake;
  EXPECT_NE(RoundTrip(state, back).c_cflag & CRTSCTS, 0U);

  state = EightNoneOne();
  state.fOutX = 1;
  state.fInX = 1;
  state.XonChar = 0x21;
  state.XoffChar = 0x23;
  const termios soft = RoundTrip(state, back);
  EXPECT_NE(soft.c_iflag & IXON, 0U);
  EXPECT_NE(soft.c_iflag & IXOFF, 0U);
  EXPECT_EQ(soft.c_cc[VSTART], 0x21);
  EXPECT_EQ(back.XoffChar, 0x23);
}

TEST(CommSettings, ReadingKeepsWhatTermiosHasNoPlaceFor) {
  CommState state = EightNoneOne();
  state.BaudRate = 115200;
  termios settings{};
  ASSERT_EQ(ApplyCommState(state, settings), kErrorSuccess);
  CommState back;
  back.XonLim = 100;
  back.XoffLim = 1500;
  back.fDtrControl = kDtrControlHandshake;
  back.fOutxDsrFlow = 1;
  back.EofChar = 0x1A;
  ReadCommState(settings, back);
  EXPECT_EQ(back.BaudRate, 115200U);
  EXPECT_EQ(back.XonLim, 100);
  EXPECT_EQ(back.XoffLim, 1500);
  EXPECT_EQ(back.fDtrControl, kDtrControlHandshake);
  EXPECT_EQ(back.fOutxDsrFlow, 1U);
  EXPECT_EQ(back.EofChar, 0x1A);
}

TEST(CommSettings, RawLineHasNoEditingEchoOrTranslation) {
  termios settings{};
  settings.c_lflag = ICANON | ECHO | ISIG;
  settings.c_iflag = ICRNL | IXON;
  settings.c_oflag = OPOST;
  settings.c_cc[VMIN] = 1;
  MakeRawLine(settings);
  EXPECT_EQ(settings.c_lflag & (ICANON | ECHO | ISIG), 0U);
  EXPECT_EQ(settings.c_iflag & ICRNL, 0U);
  EXPECT_EQ(settings.c_oflag & OPOST, 0U);
  EXPECT_NE(settings.c_cflag & (CREAD | CLOCAL), 0U);
  EXPECT_EQ(settings.c_cc[VMIN], 0);
  EXPECT_EQ(settings.c_cc[VTIME], 0);
}

}  // namespace
}  // namespace platform::linux_backend
