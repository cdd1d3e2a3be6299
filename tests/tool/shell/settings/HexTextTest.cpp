#include "settings/HexText.h"

#include <gtest/gtest.h>

namespace {

TEST(HexTextTest, FourDigitRule) {
  EXPECT_EQ(settings::ParseHex4("04B8"), 0x04B8);
  EXPECT_EQ(settings::ParseHex4("12G4"), 0x0012);
  EXPECT_EQ(settings::ParseHex4("1234AB"), 0x1234);
  EXPECT_EQ(settings::ParseHex4("0000"), 0);
  EXPECT_EQ(settings::ParseHex4(""), 0);
  EXPECT_EQ(settings::ParseHex4("a"), 0x0A);
  EXPECT_EQ(settings::ParseHex4("5Z"), 0x05);
  EXPECT_EQ(settings::ParseHex4("Z5"), 0x00);
  EXPECT_EQ(settings::ParseHex4("ffff"), 0xFFFF);
}

TEST(HexTextTest, MachineIdKeepsTheLowByte) {
  EXPECT_EQ(settings::ParseMachineId("FF"), 0xFF);
  EXPECT_EQ(settings::ParseMachineId("1234"), 0x34);
  EXPECT_EQ(settings::ParseMachineId(""), 0x00);
  EXPECT_EQ(settings::ParseMachineId("2G"), 0x02);
  EXPECT_EQ(settings::ParseMachineId("123456789"), 0x78);  // ninth digit not taken
}

}  // namespace
