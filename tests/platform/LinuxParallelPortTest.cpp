// The parallel port and the print queues on the real machine, with a FIFO or a file standing
// in for the printer port and no print server to ask.
#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>

#include <chrono>
#include <fstream>

#include "TempFolder.h"
#include "platform/FailureReason.h"
#include "platform/Services.h"

namespace platform {
namespace {

class LinuxParallelPort : public ::testing::Test {
 protected:
  void SetUp() override {
    ::setenv("CUPS_SERVER", "/nonexistent/zarnik-test/cups.sock", 1);
    fifo = folder.File("lpt2");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    ::setenv("ZARNIK_LPT2", fifo.c_str(), 1);
  }
  void TearDown() override { ::unsetenv("ZARNIK_LPT2"); }

  Services& os = RealMachine();
  testsupport::TempFolder folder;
  std::string fifo;
};

TEST_F(LinuxParallelPort, AFifoOrAFileStandsInWithoutEverAnsweringAndIsHeldForSoleUse) {
  const std::string file = folder.File("lpt3.prn");
  std::ofstream(file) << "earlier run;";
  ::setenv("ZARNIK_LPT3", file.c_str(), 1);
  for (const char* name : {R"(\\.\LPT2)", R"(\\.\LPT3)"}) {
    const Handle port = os.CreateFile(name, kGenericRead | kGenericWrite, 0, kOpenExisting, 0);
    ASSERT_NE(port, kInvalidHandle) << os.GetLastError();
    EXPECT_EQ(os.CreateFile(name, kGenericRead | kGenericWrite, 0, kOpenExisting, 0),
              kInvalidHandle);  // held for sole use
    EXPECT_EQ(os.GetLastError(), kErrorSharingViolation);

    std::uint32_t count = 0;
    ASSERT_TRUE(os.WriteFile(port, "ping", 4, &count));
    EXPECT_EQ(count, 4U);
    char buffer[16] = {};
    ClearFailureReason();
    ASSERT_TRUE(os.ReadFile(port, buffer, sizeof buffer, &count)) << name;
    EXPECT_EQ(count, 0U) << std::string(buffer, count);  // neither its own bytes nor old ones
    EXPECT_EQ(LastFailureReason().kind, FailureKind::kNotAnswering);

    EXPECT_FALSE(os.DeviceIoControl(port, kIoctlParQueryDeviceId, nullptr, 0, buffer, sizeof buffer,
                                    &count));
    EXPECT_EQ(os.GetLastError(), kErrorInvalidFunction);  // no parallel port behind it
    EXPECT_EQ(count, 0U);
    os.CloseHandle(port);
  }
  ::unsetenv("ZARNIK_LPT3");
}

TEST_F(LinuxParallelPort, WithoutAPrintServerThePrintersKeyHasNoQueues) {
  const auto start = std::chrono::steady_clock::now();
  RegistryKey printers = kNoKey;
  const std::int32_t status = os.RegOpenKeyEx(
      kHkeyLocalMachine, R"(System\CurrentControlSet\Control\Print\Printers)", kKeyRead, &printers);
  ASSERT_EQ(status, kRegSuccess);
  char name[261];
  std::uint32_t length = sizeof name;
  EXPECT_EQ(os.RegEnumKeyEx(printers, 0, name, &length),
            static_cast<std::int32_t>(kErrorNoMoreItems));
  EXPECT_EQ(os.RegCloseKey(printers), kRegSuccess);
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
}

}  // namespace
}  // namespace platform
