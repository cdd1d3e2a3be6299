#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>

#include <string>

#include "FileText.h"
#include "TempFolder.h"
#include "platform/Services.h"

namespace {

using namespace platform;

TEST(LinuxVersion, NtFiveOneUnlessDirectAccessIsAsked) {
  Services& os = RealMachine();
  ::unsetenv("ZARNIK_LPT_ACCESS");
  OsVersionInfo record;
  ASSERT_TRUE(os.GetVersionEx(&record));
  EXPECT_EQ(record.dwPlatformId, kVerPlatformWin32Nt);
  EXPECT_EQ(record.dwMajorVersion, 5U);
  EXPECT_EQ(record.dwMinorVersion, 1U);

  ::setenv("ZARNIK_LPT_ACCESS", "direct", 1);
  ASSERT_TRUE(os.GetVersionEx(&record));
  EXPECT_EQ(record.dwPlatformId, kVerPlatformWin32Windows);
  EXPECT_EQ(record.dwMinorVersion, 10U);
  EXPECT_EQ(record.dwBuildNumber & 0xFFFFU, 1998U);

  ::setenv("ZARNIK_LPT_ACCESS", "driver", 1);
  ASSERT_TRUE(os.GetVersionEx(&record));
  EXPECT_EQ(record.dwPlatformId, kVerPlatformWin32Nt);
  ::unsetenv("ZARNIK_LPT_ACCESS");

  OsVersionInfo wrongSize;
  wrongSize.dwOSVersionInfoSize = 20;
  EXPECT_FALSE(os.GetVersionEx(&wrongSize));
}

TEST(LinuxDebugSink, LinesAreAppendedToTheNamedFileAndAFifoNobodyReadsDoesNotWait) {
  testsupport::TempFolder folder;
  const std::string path = folder.File("debug.log");
  ::setenv("ZARNIK_DEBUG_OUTPUT", path.c_str(), 1);
  RealMachine().OutputDebugString("first\n");
  RealMachine().OutputDebugString("second\n");
  EXPECT_EQ(testsupport::FileText(path), "first\nsecond\n");

  const std::string fifo = folder.File("debug.fifo");
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  ::setenv("ZARNIK_DEBUG_OUTPUT", fifo.c_str(), 1);
  RealMachine().OutputDebugString("lost\n");  // returns at once: the line is dropped
  ::unsetenv("ZARNIK_DEBUG_OUTPUT");
}

TEST(LinuxModules, BareNameIsFoundBesideTheProjectLibraries) {
  Services& os = RealMachine();
  ModuleHandle module = os.LoadLibrary("zarnik_test_module");
  ASSERT_NE(module, nullptr);
  using Answer = int (*)();
  auto answer = reinterpret_cast<Answer>(os.GetProcAddress(module, "ZarnikTestModuleAnswer"));
  ASSERT_NE(answer, nullptr);
  EXPECT_EQ(answer(), 42);
  EXPECT_EQ(os.GetProcAddress(module, "NoSuchEntry"), nullptr);
  EXPECT_EQ(os.GetLastError(), kErrorProcNotFound);
  EXPECT_TRUE(os.FreeLibrary(module));

  EXPECT_EQ(os.LoadLibrary("no_such_module_anywhere"), nullptr);
  EXPECT_EQ(os.GetLastError(), kErrorModNotFound);
}

TEST(LinuxModules, ProgramPathAndItsCutToASmallBuffer) {
  Services& os = RealMachine();
  char path[4096] = {};
  const std::uint32_t length = os.GetModuleFileName(path, sizeof path);
  ASSERT_GT(length, 0U);
  EXPECT_TRUE(std::string(path).ends_with("/platform_linux_test"));
  char small[8] = {};
  EXPECT_EQ(os.GetModuleFileName(small, sizeof small), sizeof small);
  EXPECT_EQ(os.GetLastError(), kErrorInsufficientBuffer);
  EXPECT_EQ(std::string(small), std::string(path).substr(0, 7));
}

TEST(LinuxClock, SleepPassesOnTheTickCount) {
  Services& os = RealMachine();
  const std::uint32_t before = os.GetTickCount();
  os.Sleep(30);
  EXPECT_GE(os.GetTickCount() - before, 30U);
  EXPECT_GT(os.GetTimeOfDaySeconds(), 1700000000U);
}

TEST(LinuxUnbuiltServices, RegistryAndUnknownInterfaceClassesFailWithoutPretending) {
  Services& os = RealMachine();
  RegistryKey key = 1234;
  EXPECT_EQ(os.RegOpenKeyEx(kHkeyLocalMachine, "System", kKeyRead, &key),
            static_cast<std::int32_t>(kErrorFileNotFound));
  EXPECT_EQ(key, kNoKey);
  // A class the machine has no devices of is an empty list.
  const DeviceInfoSet set = os.SetupDiGetClassDevs(Guid{}, kDigcfPresent | kDigcfDeviceInterface);
  ASSERT_NE(set, kInvalidDeviceInfoSet);
  DeviceInterfaceData data;
  data.cbSize = sizeof data;
  EXPECT_FALSE(os.SetupDiEnumDeviceInterfaces(set, Guid{}, 0, &data));
  EXPECT_EQ(os.GetLastError(), kErrorNoMoreItems);
  EXPECT_TRUE(os.SetupDiDestroyDeviceInfoList(set));
}

TEST(PlatformInstall, CurrentIsTheRealMachineUntilSomethingIsInstalled) {
  EXPECT_EQ(&Current(), &RealMachine());
  EXPECT_EQ(Install(nullptr), nullptr);
  EXPECT_EQ(&Current(), &RealMachine());
}

}  // namespace
