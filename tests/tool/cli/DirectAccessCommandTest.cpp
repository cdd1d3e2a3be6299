// zarnik-cli flash and version with direct register access (ZARNIK_LPT_ACCESS=direct) on the
// simulated machine: the virtual printer answers through its IEEE 1284 interface on the port
// registers, in each transfer mode of the settings file.
#include <cstdlib>

#include "CliFixture.h"

namespace {

using cli_test::CliRun;

class DirectAccessCommandTest : public cli_test::CliTest {
 protected:
  void SetUp() override {
    CliTest::SetUp();
    ::setenv("ZARNIK_LPT_ACCESS", "direct", 1);
    Write("payload.bin", std::string(2000, 'd'));
    Write("fast.ini", "[Printer]\nProgressStep=50\n");
    ASSERT_EQ(Cli("add-header payload.bin demo.vop").status, 0);
  }
  void TearDown() override {
    ::unsetenv("ZARNIK_LPT_ACCESS");
    CliTest::TearDown();
  }
  CliRun InMode(int mode, const std::string& arguments) {
    Write("s.ini", "[System]\nOutput=0\nMode=" + std::to_string(mode) + "\n");
    return Cli("--settings s.ini --simulate --sim-config fast.ini " + arguments);
  }
};

TEST_F(DirectAccessCommandTest, FlashAndVersionWorkInEveryTransferMode) {
  const std::string file = cli_test::Slurp(Path("demo.vop"));
  for (int mode = 0; mode <= 2; ++mode) {
    const CliRun flash = InMode(mode, "--sim-trace trace.bin flash demo.vop --type demo --yes");
    EXPECT_EQ(flash.status, 0) << "Mode " << mode << ": " << flash.err;
    EXPECT_NE(flash.out.find("Complete: Writing complete!\n"), std::string::npos) << flash.out;
    const std::string trace = cli_test::Slurp(Path("trace.bin"));
    ASSERT_EQ(trace.size(), 9 + 19 + file.size() + 1 + 17 + 8) << "Mode " << mode;
    EXPECT_EQ(trace.substr(28, file.size()), file);

    const CliRun version = InMode(mode, "version");
    EXPECT_EQ(version.status, 0) << "Mode " << mode << ": " << version.err;
    EXPECT_EQ(version.out, "Get Version:\nController FW: EF12\nEngine FW: 0102.0304.0506\n");
  }
}

TEST_F(DirectAccessCommandTest, APrinterThatFallsSilentNamesTheMissingEvent) {
  Write("fast.ini", "[Printer]\nSilentAfter=1\n");  // answers Start Job only
  const CliRun run = InMode(0, "version");
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.err, "Tessik Error Message: GetRevData : failure(Ev5)\n");
}

}  // namespace
