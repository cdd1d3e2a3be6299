// The IEEE 1284 device ID parser on the IDs printers send, odd ones included.
#include "platform/DeviceIdFields.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using platform::ParseDeviceId;

TEST(DeviceIdFields, ShortAndLongKeysInAnyCaseWithSpacesAndTheFirstOccurrence) {
  const auto id = ParseDeviceId(
      "MFG:Zarnik;CMD:PJL,PCL;MDL:QX4410;CLS:PRINTER;DES:Colour page printer;SN:A1;mfg:Other;");
  EXPECT_EQ(id.manufacturer, "Zarnik");
  EXPECT_EQ(id.model, "QX4410");
  EXPECT_EQ(id.commandSet, "PJL,PCL");
  EXPECT_EQ(id.deviceClass, "PRINTER");
  EXPECT_EQ(id.serial, "A1");
  ASSERT_EQ(id.fields.size(), 7U);
  EXPECT_EQ(id.fields[4], (std::pair<std::string, std::string>{"DES", "Colour page printer"}));
  EXPECT_FALSE(id.cut);

  const auto longKeys = ParseDeviceId(
      " MANUFACTURER : Zarnik ; model:QX;COMMAND SET:ESC;Class:PRINTER;SERIALNUMBER:9\r\n");
  EXPECT_EQ(longKeys.manufacturer, "Zarnik");
  EXPECT_EQ(longKeys.model, "QX");
  EXPECT_EQ(longKeys.commandSet, "ESC");
  EXPECT_EQ(longKeys.deviceClass, "PRINTER");
  EXPECT_EQ(longKeys.serial, "9");
}

TEST(DeviceIdFields, MalformedAndOverLongIdsStayBoundedAndPrintable) {
  EXPECT_TRUE(ParseDeviceId("").fields.empty());
  EXPECT_TRUE(ParseDeviceId(";;;no colon;:empty key;").fields.empty());
  EXPECT_EQ(ParseDeviceId(std::string("MFG:A\0MDL:hidden;", 17)).model, "");  // ends at zero
  EXPECT_EQ(ParseDeviceId("MDL:a\x1b[2Jb\x07;").model, "a?[2Jb?");            // no escapes

  const auto longId = ParseDeviceId("MFG:" + std::string(10000, 'x') + ";MDL:late;");
  EXPECT_TRUE(longId.cut);
  EXPECT_EQ(longId.manufacturer.size(), platform::kMaxDeviceIdText - 4);
  EXPECT_EQ(longId.model, "");

  std::string many;
  for (int i = 0; i < 200; ++i) {
    many += "K" + std::to_string(i) + ":v;";
  }
  const auto manyFields = ParseDeviceId(many);
  EXPECT_EQ(manyFields.fields.size(), platform::kMaxDeviceIdFields);
  EXPECT_TRUE(manyFields.cut);
}

}  // namespace
