// The parallel port on the Linux backend, with a pseudo-terminal or a file standing in for
// the printer port through ZARNIK_LPT<n>, and no print server reachable.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <chrono>
#include <fstream>
#include <numeric>
#include <vector>

#include "FileText.h"
#include "PseudoTerminal.h"
#include "TempFolder.h"
#include "VopP2.h"

namespace {

class LptLinux : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    // The print-queue check asks this server; there is none, so no queue holds LPT1.
    ::setenv("CUPS_SERVER", "/nonexistent/zarnik-test/cups.sock", 1);
    ::unsetenv("ZARNIK_LPT_ACCESS");  // the driver method
  }
  void SetUp() override {
    ASSERT_TRUE(pty.ok());
    ::setenv("ZARNIK_LPT1", pty.slavePath().c_str(), 1);
    VopP2GetParamPtr()->dwLptNumber = 1;
  }
  void TearDown() override {
    VopP2Close(PORT_LPT);
    ::unsetenv("ZARNIK_LPT1");
    ::unsetenv("ZARNIK_LPT3");
  }
  testsupport::PseudoTerminal pty;
};

TEST_F(LptLinux, BytesWrittenReachTheDeviceTheVariableNamesUnchanged) {
  std::vector<std::uint8_t> data(4000);
  std::iota(data.begin(), data.end(), std::uint8_t{0});  // \n and \r among them
  std::uint32_t written = 0;
  ASSERT_EQ(VopP2Write(PORT_LPT, data.data(), 4000, &written), 1) << VopP2GetMessage();
  EXPECT_EQ(written, 4000U);
  EXPECT_EQ(pty.Receive(4000), data);
}

TEST_F(LptLinux, ReadsTakeTheReplyAndASilentPrinterEndsWithinItsBound) {
  ASSERT_EQ(VopP2Open(PORT_LPT), 1) << VopP2GetMessage();
  pty.Send({0x1B, 0x02, 0x00, 0x0A, 0x0D});
  std::uint8_t buffer[256] = {};
  std::uint32_t read = 0;
  ASSERT_EQ(VopP2Read(PORT_LPT, buffer, sizeof buffer, &read, 0), 1) << VopP2GetMessage();
  EXPECT_EQ(read, 5U);
  EXPECT_EQ(buffer[3], 0x0A);

  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(VopP2Read(PORT_LPT, buffer, sizeof buffer, &read, 0), 1);
  EXPECT_EQ(read, 0U);
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(3));
}

TEST_F(LptLinux, NoDeviceIdFromAStandInFailsTheRead) {
  std::uint8_t buffer[64];
  std::uint32_t read = 9;
  EXPECT_EQ(VopP2Read(PORT_LPT, buffer, sizeof buffer, &read, 4), 0);
  EXPECT_EQ(read, 0U);
  EXPECT_STREQ(VopP2GetMessage(), "VopP2Read(LPT) : failure\n");
}

TEST_F(LptLinux, AFileStandsInForAPrinterAndKeepsEverything) {
  testsupport::TempFolder folder;
  const std::string capture = folder.File("lpt3.prn");
  ::setenv("ZARNIK_LPT3", capture.c_str(), 1);
  VopP2GetParamPtr()->dwLptNumber = 3;
  std::uint32_t written = 0;
  EXPECT_EQ(VopP2Write(PORT_LPT, reinterpret_cast<const std::uint8_t*>("abc"), 3, &written), 0);
  EXPECT_STREQ(VopP2GetMessage(), "VopP2Open:CreateFile(PORT_LPT) : failure\n");  // not made

  std::ofstream(capture).flush();
  EXPECT_EQ(VopP2Write(PORT_LPT, reinterpret_cast<const std::uint8_t*>("abc"), 3, &written), 1);
  EXPECT_EQ(VopP2Write(PORT_LPT, reinterpret_cast<const std::uint8_t*>("de"), 2, &written), 1);
  EXPECT_EQ(testsupport::FileText(capture), "abcde");
}

}  // namespace
