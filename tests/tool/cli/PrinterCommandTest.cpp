// zarnik-cli flash and version on the simulated machine: the real program, port library
// included, against the virtual printer.
#include <unistd.h>

#include <cstdlib>

#include "CliFixture.h"
#include "zarnik/Strings.h"

namespace {

namespace text = zarnik::text;
using cli_test::CliRun;
namespace fs = std::filesystem;

constexpr const char* kSettings = "--settings s.ini ";
constexpr const char* kFlashDemo = "--simulate flash demo.vop --type demo --yes";

class PrinterCommandTest : public cli_test::PrinterCliTest {
 protected:
  CliRun WithPrinter(const std::string& profile, const std::string& arguments) {
    Write("printer.ini", "[Printer]\n" + profile);
    return Cli(std::string(kSettings) + "--sim-config printer.ini " + arguments);
  }
};

TEST_F(PrinterCommandTest, FlashesADemoFileAndTracesEveryByte) {
  const CliRun run = Cli(std::string(kSettings) + "--sim-trace trace.bin " + kFlashDemo);
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.err, "");
  EXPECT_NE(run.out.find("Writing Confirmation: Write 8Mbit data flash ROM"), std::string::npos);
  // Not a terminal: one plain line per tenth of a bar.
  EXPECT_NE(run.out.find("Erasing: 100%\n"), std::string::npos);
  EXPECT_NE(run.out.find("Writing: 50%\n"), std::string::npos);
  EXPECT_NE(run.out.find("Verifying: 100%\n"), std::string::npos);
  EXPECT_NE(run.out.find("Complete: Writing complete!\n"), std::string::npos) << run.out;

  const std::string file = cli_test::Slurp(Path("demo.vop"));
  const std::string trace = cli_test::Slurp(Path("trace.bin"));
  // Start Job (9), Download Firmware (19), the file and its sum, Execute Flash Write (17),
  // End Job (8).
  ASSERT_EQ(trace.size(), 9 + 19 + file.size() + 1 + 17 + 8);
  EXPECT_EQ(trace.substr(0, 9), std::string("\x1B\x40\x00\x02\x00\xBF\xFF\x10\x2B", 9));
  EXPECT_EQ(trace.substr(9, 6), std::string("\x1B\x70\x01\x0C\x00\x8F", 6));
  EXPECT_EQ(trace.substr(28, file.size()), file);
  EXPECT_EQ(trace.substr(trace.size() - 8), std::string("\x1B\x41\x03\x01\x00\xBE\x00\x1E", 8));
  // The command line writes none of the dialogs' keys.
  EXPECT_EQ(cli_test::Slurp(Path("s.ini")).find("FlashWrite"), std::string::npos);

  // Progress that cannot be written leaves the job's status as it is, and says so.
  const std::string toFullDisk = "cd '" + dir_.string() + "' && '" ZARNIK_CLI "' " + kSettings +
                                 kFlashDemo + " >/dev/full 2>err.txt";
  EXPECT_EQ(WEXITSTATUS(std::system(toFullDisk.c_str())), 0);
  EXPECT_EQ(cli_test::Slurp(Path("err.txt")),
            "Warning: the output could not be written in full; the exit status is the job's.\n");
}

// "ForceVOPUSB=1": USB reaches the same virtual printer through the USB bridge, and the debug
// output at level 80 shows the bridge opened and closed around every transfer. The printer
// behind the bridge has the ids the settings give, when they give any.
TEST_F(PrinterCommandTest, UsbThroughTheBridgeFlashesAndReadsVersions) {
  Write("s.ini", "[System]\nOutput=1\nForceVOPUSB=1\nDebugLevel=80\n");
  ASSERT_EQ(setenv("ZARNIK_DEBUG_OUTPUT", "stderr", 1), 0);
  const CliRun flash = Cli(std::string(kSettings) + "--sim-trace trace.bin " + kFlashDemo);
  Write("s.ini", "[System]\nForceVOPUSB=1\nVid=04B8\nPid=0A1F\n");
  const CliRun version = Cli(std::string(kSettings) + "--port usb --simulate version");
  unsetenv("ZARNIK_DEBUG_OUTPUT");
  EXPECT_EQ(flash.status, 0) << flash.err;
  EXPECT_NE(flash.out.find("Complete: Writing complete!\n"), std::string::npos) << flash.out;
  EXPECT_EQ(flash.err.find("Simulation:"), std::string::npos);
  EXPECT_NE(flash.err.find("OpenVOPUSB\n"), std::string::npos);
  EXPECT_NE(flash.err.find("CloseVOPUSB\n"), std::string::npos);
  const std::size_t fileSize = fs::file_size(Path("demo.vop"));
  EXPECT_EQ(fs::file_size(Path("trace.bin")), 9 + 19 + fileSize + 1 + 17 + 8);
  EXPECT_EQ(version.status, 0) << version.err;
  EXPECT_EQ(version.out, "Get Version:\nController FW: EF12\nEngine FW: 0102.0304.0506\n");
}

TEST_F(PrinterCommandTest, VersionPrintsTheReport) {
  const CliRun run =
      WithPrinter("ControllerFW=21FE\nEngineFW=ABCDEFGHIJKL\n", "--simulate version");
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.out, "Get Version:\nController FW: EF12\nEngine FW: ABCD.EFGH.IJKL\n");
  EXPECT_EQ(run.err, "");
}

TEST_F(PrinterCommandTest, GlobalOptionsMayFollowTheCommand) {
  const CliRun flash =
      Cli("flash demo.vop --type demo --yes --settings s.ini --simulate --sim-trace trace.bin");
  EXPECT_EQ(flash.status, 0) << flash.err;
  EXPECT_GT(fs::file_size(Path("trace.bin")), fs::file_size(Path("demo.vop")));
  const CliRun version = Cli("version --settings s.ini --simulate");
  EXPECT_EQ(version.status, 0) << version.err;
  EXPECT_EQ(version.out, "Get Version:\nController FW: EF12\nEngine FW: 0102.0304.0506\n");
}

TEST_F(PrinterCommandTest, PrinterFailuresEndWithStatusOneAndTheirMessage) {
  const CliRun refused = WithPrinter("AcceptJob=0\n", kFlashDemo);
  EXPECT_EQ(refused.status, 1);
  EXPECT_EQ(refused.err, "Error: Job not accepted!\n");

  // A flash the printer never reported written is said to be perhaps incomplete.
  const CliRun failing = WithPrinter("FailStatus=04\n", kFlashDemo);
  EXPECT_EQ(failing.status, 1);
  EXPECT_NE(failing.err.find("Error: Sum Error!\n"), std::string::npos) << failing.err;
  EXPECT_NE(failing.err.find(text::kFlashMayBeIncomplete), std::string::npos) << failing.err;
  const CliRun silent = WithPrinter("SilentAfter=8\n", kFlashDemo);
  EXPECT_EQ(silent.status, 1);
  EXPECT_NE(silent.err.find(text::kFlashMayBeIncomplete), std::string::npos) << silent.err;
  EXPECT_NE(silent.err.find("did not answer in time"), std::string::npos) << silent.err;

  EXPECT_EQ(refused.err.find(text::kFlashMayBeIncomplete), std::string::npos);

  const CliRun versionRefused = WithPrinter("AcceptJob=0\n", "--simulate version");
  EXPECT_EQ(versionRefused.status, 1);
  EXPECT_EQ(versionRefused.err, "Tessik Error Message: Job Unaccepted\n");

  const CliRun hostError = WithPrinter("HostCommError=1\n", "--simulate version");
  EXPECT_EQ(hostError.status, 1);
  EXPECT_EQ(hostError.err, "Tessik Error Message: Host communication error is occured\n");

  // No --yes and nobody to answer: the job is closed before the flash is touched.
  const CliRun unconfirmed =
      Cli(std::string(kSettings) + "--sim-trace trace.bin --simulate flash demo.vop --type demo");
  EXPECT_EQ(unconfirmed.status, 1);
  EXPECT_NE(unconfirmed.err.find("[y/N] \nError: Not confirmed"), std::string::npos)
      << unconfirmed.err;
  const std::string trace = cli_test::Slurp(Path("trace.bin"));
  EXPECT_EQ(trace.substr(trace.size() - 8, 2), "\x1B\x41");              // End Job
  EXPECT_EQ(trace.find(std::string("\x1B\x73", 2)), std::string::npos);  // no flash write
  // End Job that could not go: the job is not said to be closed.
  const CliRun stillOpen = WithPrinter("BrokenAfter=3\n", "--simulate flash demo.vop --type demo");
  EXPECT_EQ(stillOpen.status, 1);
  EXPECT_NE(stillOpen.err.find("could not be closed"), std::string::npos) << stillOpen.err;
  EXPECT_EQ(stillOpen.err.find("Not confirmed"), std::string::npos) << stillOpen.err;
  // A data stream cut short: End Job is not tried, so no port text is told as its failure.
  const CliRun cut = WithPrinter("BrokenAfter=2\n", "--simulate flash demo.vop --type demo --yes");
  EXPECT_EQ(cut.status, 1);
  EXPECT_TRUE(cut.err.ends_with("the next job.\n")) << cut.err;
}

// A print queue holding LPT1: on the simulated machine: the port is refused before a byte
// is sent, with the spooler check's own text naming the queue.
TEST_F(PrinterCommandTest, APrintQueueOnLpt1KeepsThePortFromTheTool) {
  const CliRun run =
      WithPrinter("PrintQueue=Office laser\n", "--sim-trace trace.bin --simulate version");
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.err.find("Transmission Failure"), std::string::npos) << run.err;
  EXPECT_NE(run.err.find("CheckLPT1: LPT1ポートが Office laser のドライバで使用されています。"),
            std::string::npos)
      << run.err;
  EXPECT_EQ(fs::file_size(Path("trace.bin")), 0U);
}

// On the real machine a port that cannot be opened ends in the tool's message and then the
// port library's own text, so the technician sees which call failed.
TEST_F(PrinterCommandTest, ARealPortThatCannotBeOpenedNamesTheFailingCall) {
  ASSERT_EQ(setenv("ZARNIK_LPT1", Path("no-such-port").c_str(), 1), 0);
  const CliRun run = Cli(std::string(kSettings) + "flash demo.vop --type demo --yes");
  unsetenv("ZARNIK_LPT1");
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.err,
            "Tessik Error Message: Transmission Failure\n"
            "Port library: VopP2Open:CreateFile(PORT_LPT) : failure\n" +
                Path("no-such-port").string() +
                " was not found. Check that the printer is switched on and cabled, and the port "
                "settings.\n");
}

TEST_F(PrinterCommandTest, FilesAndPortsRefusedBeforeAnythingIsSent) {
  const CliRun wrongType = Cli(std::string(kSettings) +
                               "--simulate --sim-trace trace.bin flash demo.vop --type firmware");
  EXPECT_EQ(wrongType.status, 1);
  EXPECT_EQ(wrongType.err, "Error: Not firmware data !\n");
  EXPECT_EQ(fs::file_size(Path("trace.bin")), 0U);

  const CliRun missing = Cli(std::string(kSettings) + "--simulate flash none.vop --type demo");
  EXPECT_EQ(missing.status, 1);
  EXPECT_EQ(missing.err, "Error: Cannot open file!\n");

  Write("s.ini", "[System]\nOutput=2\n");
  const CliRun noPort = Cli(std::string(kSettings) + "--simulate --sim-trace trace.bin version");
  EXPECT_EQ(noPort.status, 1);
  EXPECT_EQ(noPort.err.rfind("Error: The settings file's Output value 2 names no port", 0), 0U)
      << noPort.err;
  EXPECT_EQ(fs::file_size(Path("trace.bin")), 0U);
}

// The virtual printer is on USB too, with the settings file's ids unless the profile gives
// others; a printer with other ids is not taken, and the reason names what was found.
TEST_F(PrinterCommandTest, UsbFindsThePrinterByItsIdsOnly) {
  Write("s.ini", "[System]\nOutput=1\nVid=04B8\nPid=0A1F\n");
  const CliRun found = Cli(std::string(kSettings) + "--sim-trace trace.bin --simulate version");
  EXPECT_EQ(found.status, 0) << found.err;
  EXPECT_EQ(found.out, "Get Version:\nController FW: EF12\nEngine FW: 0102.0304.0506\n");
  EXPECT_GT(fs::file_size(Path("trace.bin")), 0U);

  const CliRun other =
      WithPrinter("Vid=1234\nPid=0001\n", "--sim-trace trace.bin --simulate version");
  EXPECT_EQ(other.status, 1);
  EXPECT_NE(
      other.err.find("Port library: VopP2Open:CreateFile(PORT_USB) : GetDevicePath failure\n"
                     "The USB printer with vendor id 04b8 and product id 0a1f was not found."),
      std::string::npos)
      << other.err;
  EXPECT_NE(other.err.find(R"(USB printers found: USB\VID_1234&PID_0001\)"), std::string::npos);
  EXPECT_EQ(fs::file_size(Path("trace.bin")), 0U);

  // --port is for one run only.
  const CliRun lpt = Cli(std::string(kSettings) + "--port lpt --simulate version");
  EXPECT_EQ(lpt.status, 0) << lpt.err;
  EXPECT_NE(cli_test::Slurp(Path("s.ini")).find("Output=1"), std::string::npos);
}

TEST_F(PrinterCommandTest, UsageErrorsEndWithStatusTwo) {
  for (const char* arguments :
       {"flash demo.vop", "flash demo.vop --type bogus", "flash --type demo",
        "--sim-trace t.bin version", "--sim-config p.ini version", "version --sim-config",
        "--port parallel version", "version extra"}) {
    EXPECT_EQ(Cli(std::string(kSettings) + arguments).status, 2) << arguments;
  }
  // A trace naming a file the run reads would empty it: refused, the file kept.
  const std::string demo = cli_test::Slurp(Path("demo.vop"));
  for (const char* arguments : {"--simulate --sim-trace ./demo.vop flash demo.vop --type demo",
                                "--simulate --sim-trace=s.ini version"}) {
    const CliRun clash = Cli(std::string(kSettings) + arguments);
    EXPECT_EQ(clash.status, 2) << arguments;
    EXPECT_NE(clash.err.find("name another file for the trace"), std::string::npos) << clash.err;
  }
  EXPECT_EQ(cli_test::Slurp(Path("demo.vop")), demo);
  EXPECT_FALSE(cli_test::Slurp(Path("s.ini")).empty());
  // So does a trace naming the settings file the run is yet to make.
  EXPECT_EQ(Cli("--settings new.ini --simulate --sim-trace ./new.ini version").status, 2);
  EXPECT_FALSE(fs::exists(Path("new.ini")));
  // A word of the command line that is no file of the run is no clash, whatever its name.
  Write("demo", "an old trace");
  EXPECT_EQ(Cli(std::string(kSettings) + "--simulate --sim-trace demo flash demo.vop --type demo "
                                         "--yes")
                .status,
            0);
  const CliRun badProfile = WithPrinter("ControllerFW=ABC\n", "--simulate version");
  EXPECT_EQ(badProfile.status, 2);
  EXPECT_NE(badProfile.err.find("ControllerFW"), std::string::npos);
  const CliRun noProfile = Cli(std::string(kSettings) + "--simulate --sim-config none.ini version");
  EXPECT_EQ(noProfile.status, 2);
  // Key names match in any case, and a key the printer does not know is named.
  const CliRun unknownKey = WithPrinter("controllerfw=EF12\nColour=red\n", "--simulate version");
  EXPECT_EQ(unknownKey.status, 2);
  EXPECT_EQ(
      unknownKey.err.rfind("Error: Colour in section Printer of printer.ini is not a setting", 0),
      0U)
      << unknownKey.err;
}

TEST_F(PrinterCommandTest, SettingsThatCannotBeReadOrSavedAreTold) {
  // A folder, or a file in a folder that does not exist, is not taken for default settings.
  fs::create_directories(Path("folder.ini"));
  for (const std::string settings : {"folder.ini", "missing/s.ini"}) {
    const CliRun run = Cli("--settings " + settings + " --simulate version");
    EXPECT_EQ(run.status, 1) << settings;
    EXPECT_EQ(run.out, "");
    EXPECT_NE(run.err.find("Error: The settings file " + settings + " cannot be read ("),
              std::string::npos)
        << run.err;
  }
  // Settings this user cannot save: the command runs and says so once, with the path.
  fs::create_directories(Path("closed"));
  fs::permissions(Path("closed"), fs::perms::owner_read | fs::perms::owner_exec |
                                      fs::perms::group_read | fs::perms::group_exec |
                                      fs::perms::others_read | fs::perms::others_exec);
  const std::string otherUser =
      ::geteuid() == 0 ? "setpriv --reuid=65534 --regid=65534 --clear-groups" : "";
  const CliRun unsaved = Cli("--settings closed/s.ini --port lpt --simulate version", otherUser);
  EXPECT_EQ(unsaved.status, 0) << unsaved.err;
  EXPECT_EQ(unsaved.err,
            "Warning: The settings cannot be saved to closed/s.ini (permission denied). Changes "
            "made in this run are lost when the program ends.\n");
}

}  // namespace
