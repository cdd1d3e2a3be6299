// The parallel port's pieces of the Linux backend that need no device: which device
// \\.\LPTn opens, the port names of print queues and their registry tree, and the text of
// a device ID as the port gives it.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <cstring>

#include "linux/DeviceId.h"
#include "linux/DevicePaths.h"
#include "linux/PrinterRegistry.h"

namespace platform::linux_backend {
namespace {

constexpr const char* kPrinters = R"(System\CurrentControlSet\Control\Print\Printers)";

class LptMapping : public ::testing::Test {
 protected:
  void SetUp() override {
    for (const char* name : {"ZARNIK_LPT1", "ZARNIK_LPT2", "ZARNIK_LPT3"}) {
      ::unsetenv(name);
    }
  }
  void TearDown() override { SetUp(); }
};

TEST_F(LptMapping, LptPortsAreTheLpDevicesCountedFromZeroOrWhatTheVariableNames) {
  const ResolvedPath lpt1 = ResolvePath(R"(\\.\LPT1)");
  EXPECT_EQ(lpt1.kind, ResolvedPath::Kind::kParallelPort);
  EXPECT_EQ(lpt1.path, "/dev/lp0");
  EXPECT_EQ(ResolvePath(R"(\\.\lpt3)").path, "/dev/lp2");
  ::setenv("ZARNIK_LPT3", "/tmp/printer-fifo", 1);
  EXPECT_EQ(ResolvePath(R"(\\.\LPT3)").path, "/tmp/printer-fifo");
  ::setenv("ZARNIK_LPT3", "", 1);
  EXPECT_EQ(ResolvePath(R"(\\.\LPT3)").path, "/dev/lp2");
  EXPECT_EQ(ResolvePath(R"(\\.\LPT0)").kind, ResolvedPath::Kind::kUnknownDevice);
  EXPECT_EQ(ResolvePath(R"(\\.\LPT)").kind, ResolvedPath::Kind::kUnknownDevice);
  EXPECT_EQ(ResolvePath(R"(\\.\COM1)").kind, ResolvedPath::Kind::kSerialLine);
}

TEST_F(LptMapping, QueuesOnAParallelPortAreNamedAfterIt) {
  EXPECT_EQ(PortNameOfDevice("parallel:/dev/lp0"), "LPT1:");
  EXPECT_EQ(PortNameOfDevice("parallel:/dev/lp1"), "LPT2:");
  EXPECT_EQ(PortNameOfDevice("usb://Maker/Model?serial=1"), "usb://Maker/Model?serial=1");
  EXPECT_EQ(PortNameOfDevice("parallel:/dev/usb/lp0"), "parallel:/dev/usb/lp0");
  ::setenv("ZARNIK_LPT1", "/tmp/zarnik-stand-in", 1);
  EXPECT_EQ(PortNameOfDevice("parallel:/tmp/zarnik-stand-in"), "LPT1:");
  EXPECT_EQ(PortNameOfDevice("parallel:/dev/lp0"), "LPT1:");  // still the first port
}

class PrinterTree : public LptMapping {
 protected:
  PrinterTree()
      : registry(
            [this] {
              ++asked;
              return queues;
            },
            [this] { return now; }) {}
  std::int32_t Open(const std::string& path, RegistryKey& key) {
    return registry.OpenKey(kHkeyLocalMachine, path.c_str(), &key);
  }
  std::string PortName(RegistryKey key) {
    char data[64] = {};
    std::uint32_t type = 0;
    std::uint32_t length = sizeof data;
    EXPECT_EQ(registry.QueryValue(key, "portName", &type, data, &length), kRegSuccess);
    EXPECT_EQ(type, kRegMultiSz);
    EXPECT_EQ(length, std::strlen(data) + 2);  // the string and the list's end
    return data;
  }

  std::vector<PrintQueue> queues{{"Laser", "parallel:/dev/lp0"},
                                 {"Photo", "usb://Maker/Photo"},
                                 {"Back room", "parallel:/dev/lp1"}};
  int asked = 0;
  PrinterRegistry::Clock::time_point now;
  PrinterRegistry registry;
};

TEST_F(PrinterTree, EveryQueueHasItsSpoolerKeyWithItsPortName) {
  RegistryKey printers = kNoKey;
  ASSERT_EQ(Open(kPrinters, printers), kRegSuccess);
  std::vector<std::string> names;
  for (std::uint32_t i = 0;; ++i) {
    char name[261];
    std::uint32_t length = sizeof name;
    const std::int32_t status = registry.EnumKey(printers, i, name, &length);
    if (status != kRegSuccess) {
      EXPECT_EQ(status, static_cast<std::int32_t>(kErrorNoMoreItems));
      break;
    }
    EXPECT_EQ(length, std::strlen(name));
    names.emplace_back(name);
  }
  EXPECT_EQ(names, (std::vector<std::string>{"Laser", "Photo", "Back room"}));

  RegistryKey spooler = kNoKey;
  ASSERT_EQ(Open(std::string(kPrinters) + R"(\laser\DsSpooler)", spooler), kRegSuccess);
  EXPECT_EQ(PortName(spooler), "LPT1:");
  registry.CloseKey(spooler);
  ASSERT_EQ(registry.OpenKey(printers, R"(Back room\dsspooler)", &spooler), kRegSuccess);
  EXPECT_EQ(PortName(spooler), "LPT2:");
  registry.CloseKey(spooler);
  ASSERT_EQ(Open(std::string(kPrinters) + R"(\Photo\DsSpooler)", spooler), kRegSuccess);
  EXPECT_EQ(PortName(spooler), "usb://Maker/Photo");
  EXPECT_EQ(asked, 1);  // one look at the server while the printers key is open

  char small[4];
  std::uint32_t length = sizeof small;
  EXPECT_EQ(registry.QueryValue(spooler, "portName", nullptr, small, &length),
            static_cast<std::int32_t>(kErrorMoreData));
  EXPECT_EQ(length, std::strlen("usb://Maker/Photo") + 2);
  EXPECT_EQ(registry.QueryValue(spooler, "other", nullptr, small, &length),
            static_cast<std::int32_t>(kErrorFileNotFound));
  EXPECT_EQ(registry.CloseKey(spooler), kRegSuccess);
  EXPECT_EQ(registry.CloseKey(printers), kRegSuccess);
  EXPECT_EQ(registry.CloseKey(printers), static_cast<std::int32_t>(kErrorInvalidHandle));
}

TEST_F(PrinterTree, OtherKeysAreNotFoundAndNoServerIsAnEmptyKey) {
  RegistryKey key = 77;
  EXPECT_EQ(Open("System", key), static_cast<std::int32_t>(kErrorFileNotFound));
  EXPECT_EQ(key, kNoKey);
  EXPECT_EQ(Open(std::string(kPrinters) + "Extra", key),
            static_cast<std::int32_t>(kErrorFileNotFound));
  EXPECT_EQ(Open(std::string(kPrinters) + R"(\Nobody\DsSpooler)", key),
            static_cast<std::int32_t>(kErrorFileNotFound));
  EXPECT_EQ(Open(std::string(kPrinters) + R"(\Laser\Other)", key),
            static_cast<std::int32_t>(kErrorFileNotFound));

  queues.clear();
  now += kQueuesReuseGap;  // a later look asks the server again
  ASSERT_EQ(Open(kPrinters, key), kRegSuccess);
  char name[16];
  std::uint32_t length = sizeof name;
  EXPECT_EQ(registry.EnumKey(key, 0, name, &length), static_cast<std::int32_t>(kErrorNoMoreItems));
  registry.CloseKey(key);
}

TEST_F(PrinterTree, OneAnswerServesLooksCloseTogetherAndAPauseAsksAgain) {
  RegistryKey key = kNoKey;
  for (int look = 0; look < 3; ++look) {  // a job opens the port for every frame
    ASSERT_EQ(Open(kPrinters, key), kRegSuccess);
    registry.CloseKey(key);
    now += kQueuesReuseGap - std::chrono::seconds(1);
  }
  EXPECT_EQ(asked, 1);
  now += std::chrono::seconds(2);
  ASSERT_EQ(Open(std::string(kPrinters) + R"(\Laser\DsSpooler)", key), kRegSuccess);
  registry.CloseKey(key);
  EXPECT_EQ(asked, 2);
}

TEST(DeviceIdText, TheTextComesWithoutItsLengthField) {
  const char raw[] = "\x00\x14MFG:Zarnik;MDL:QX;";  // with its terminating zero
  std::uint8_t out[64];
  std::memset(out, 0xEE, sizeof out);
  std::uint32_t count = 0;
  EXPECT_EQ(CopyDeviceIdText(raw, sizeof raw, out, sizeof out, count), kErrorSuccess);
  EXPECT_EQ(count, 18U);
  EXPECT_EQ(std::string(reinterpret_cast<char*>(out)), "MFG:Zarnik;MDL:QX;");

  // A wrong length field does not matter; a text that does not fit is refused whole.
  const char wrong[] = "\x7F\x7FMDL:QX;";
  EXPECT_EQ(CopyDeviceIdText(wrong, sizeof wrong - 1, out, 7, count), kErrorSuccess);
  EXPECT_EQ(count, 7U);
  EXPECT_EQ(CopyDeviceIdText(wrong, sizeof wrong - 1, out, 6, count), kErrorInsufficientBuffer);
  EXPECT_EQ(count, 0U);
  EXPECT_EQ(CopyDeviceIdText("\x00\x02", 2, out, 6, count), kErrorDeviceNotConnected);
  EXPECT_EQ(CopyDeviceIdText("\x00\x02\x00", 3, out, 6, count), kErrorDeviceNotConnected);
}

}  // namespace
}  // namespace platform::linux_backend
