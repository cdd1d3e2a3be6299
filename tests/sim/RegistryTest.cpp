#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "sim/Machine.h"

namespace {

using namespace platform;

constexpr char kPrinters[] = R"(System\CurrentControlSet\Control\Print\Printers)";

TEST(SimRegistry, QueuesAreEnumeratedAndTheirPortNameRead) {
  sim::Machine machine;
  machine.registry().SetMultiString(std::string(kPrinters) + R"(\Office Laser\DsSpooler)",
                                    "portName", {"LPT1:", "COM2:"});
  machine.registry().AddKey(std::string(kPrinters) + R"(\Bench)");
  RegistryKey printers = kNoKey;
  ASSERT_EQ(
      machine.RegOpenKeyEx(kHkeyLocalMachine, R"(system\currentcontrolset\control\print\printers)",
                           kKeyRead, &printers),
      kRegSuccess);
  char name[261];
  std::uint32_t length = sizeof name;
  ASSERT_EQ(machine.RegEnumKeyEx(printers, 0, name, &length), kRegSuccess);
  EXPECT_STREQ(name, "Bench");
  EXPECT_EQ(length, 5U);
  length = sizeof name;
  ASSERT_EQ(machine.RegEnumKeyEx(printers, 1, name, &length), kRegSuccess);
  EXPECT_STREQ(name, "Office Laser");
  length = 4;
  EXPECT_EQ(machine.RegEnumKeyEx(printers, 1, name, &length), 234);
  EXPECT_EQ(machine.RegEnumKeyEx(printers, 2, name, &length), 259);

  RegistryKey spooler = kNoKey;
  ASSERT_EQ(machine.RegOpenKeyEx(printers, R"(Office Laser\DsSpooler)", kKeyRead, &spooler),
            kRegSuccess);
  std::uint32_t type = 0;
  std::uint32_t size = 0;
  ASSERT_EQ(machine.RegQueryValueEx(spooler, "PORTNAME", &type, nullptr, &size), kRegSuccess);
  EXPECT_EQ(type, kRegMultiSz);
  EXPECT_EQ(size, 13U);  // "LPT1:\0COM2:\0\0"
  char data[256];
  size = 4;
  EXPECT_EQ(machine.RegQueryValueEx(spooler, "portName", &type, data, &size), 234);
  EXPECT_EQ(size, 13U);
  size = sizeof data;
  ASSERT_EQ(machine.RegQueryValueEx(spooler, "portName", &type, data, &size), kRegSuccess);
  EXPECT_STREQ(data, "LPT1:");
  EXPECT_STREQ(data + 6, "COM2:");
  EXPECT_EQ(machine.RegQueryValueEx(spooler, "missing", &type, data, &size), 2);

  EXPECT_EQ(machine.RegCloseKey(spooler), kRegSuccess);
  EXPECT_EQ(machine.RegCloseKey(printers), kRegSuccess);
  EXPECT_EQ(machine.RegCloseKey(printers), 6);
  EXPECT_EQ(machine.registry().OpenKeyCount(), 0U);
  RegistryKey none = 99;
  EXPECT_EQ(machine.RegOpenKeyEx(kHkeyLocalMachine, R"(System\Nothing)", kKeyRead, &none), 2);
  EXPECT_EQ(none, kNoKey);
}

constexpr Guid kPrintingSupport{
    0x28D78FAD, 0x5A12, 0x11D1, {0xAE, 0x5B, 0x00, 0x00, 0xF8, 0x03, 0xA8, 0xC2}};
constexpr Guid kUsbDevice{
    0xA5DCBF10, 0x6530, 0x11D2, {0x90, 0x1F, 0x00, 0xC0, 0x4F, 0xB9, 0x51, 0xED}};

TEST(SimDeviceInterfaces, EnumerateWithTheSizeQueryAndTheEnd) {
  sim::Machine machine;
  machine.deviceInterfaces().Add(kUsbDevice, R"(\\?\usb#vid_0abc&pid_0123#1#{a5dc})");
  machine.deviceInterfaces().Add(kPrintingSupport, R"(\\?\usb#vid_0abc&pid_0123#2#{28d7})");
  const DeviceInfoSet set =
      machine.SetupDiGetClassDevs(kPrintingSupport, kDigcfPresent | kDigcfDeviceInterface);
  ASSERT_NE(set, kInvalidDeviceInfoSet);
  DeviceInterfaceData data;
  data.cbSize = sizeof data;
  ASSERT_TRUE(machine.SetupDiEnumDeviceInterfaces(set, kPrintingSupport, 0, &data));
  EXPECT_EQ(data.InterfaceClassGuid, kPrintingSupport);

  std::uint32_t required = 0;
  EXPECT_FALSE(machine.SetupDiGetDeviceInterfaceDetail(set, data, nullptr, 0, &required));
  EXPECT_EQ(machine.GetLastError(), kErrorInsufficientBuffer);
  const std::string path = R"(\\?\usb#vid_0abc&pid_0123#2#{28d7})";
  ASSERT_EQ(required, 4 + path.size() + 1);
  std::vector<char> detail(required);
  const std::uint32_t sizeField = 5;
  std::memcpy(detail.data(), &sizeField, 4);
  ASSERT_TRUE(machine.SetupDiGetDeviceInterfaceDetail(set, data, detail.data(), required, nullptr));
  EXPECT_EQ(std::string(detail.data() + 4), path);
  const std::uint32_t wrongField = 8;
  std::memcpy(detail.data(), &wrongField, 4);
  EXPECT_FALSE(
      machine.SetupDiGetDeviceInterfaceDetail(set, data, detail.data(), required, nullptr));
  EXPECT_EQ(machine.GetLastError(), kErrorInvalidUserBuffer);

  EXPECT_FALSE(machine.SetupDiEnumDeviceInterfaces(set, kPrintingSupport, 1, &data));
  EXPECT_EQ(machine.GetLastError(), kErrorNoMoreItems);
  EXPECT_TRUE(machine.SetupDiDestroyDeviceInfoList(set));
  EXPECT_FALSE(machine.SetupDiDestroyDeviceInfoList(set));
  EXPECT_EQ(machine.GetLastError(), kErrorInvalidHandle);
  EXPECT_EQ(machine.deviceInterfaces().OpenSetCount(), 0U);
}

}  // namespace
