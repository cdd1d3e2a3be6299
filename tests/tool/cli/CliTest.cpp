#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <chrono>
#include <thread>

#include "CliFixture.h"

extern char** environ;

namespace {

using cli_test::CliRun;
using cli_test::CliTest;
namespace fs = std::filesystem;

TEST_F(CliTest, AddsAHeaderAndChecksTheResult) {
  Write("payload.bin", std::string(0x1234, 'x'));
  const CliRun added = Cli("add-header payload.bin demo.vop");
  EXPECT_EQ(added.status, 0);
  EXPECT_EQ(added.out, "The creating of a file completed.\n");
  EXPECT_EQ(added.err, "");
  EXPECT_EQ(fs::file_size(Path("demo.vop")), 0x1234U + 257U);

  const CliRun checked = Cli("check demo.vop");
  EXPECT_EQ(checked.status, 0);
  EXPECT_EQ(checked.out, "Demo print data check:\n82: 20-02 00001234 100\nSum check: OK\n");
  EXPECT_EQ(checked.err, "");

  // A result that cannot be written (a full disk) is a failure, not an empty file and status 0.
  const std::string toFullDisk =
      "cd '" + dir_.string() + "' && '" ZARNIK_CLI "' check demo.vop >/dev/full 2>err.txt";
  EXPECT_EQ(WEXITSTATUS(std::system(toFullDisk.c_str())), 1);
  EXPECT_EQ(cli_test::Slurp(Path("err.txt")), "Error: the output could not be written in full.\n");
}

TEST_F(CliTest, ReportsToolFailuresOnStandardErrorWithStatusOne) {
  Write("plain.txt", std::string(300, 'a'));
  const CliRun checked = Cli("check plain.txt");
  EXPECT_EQ(checked.status, 1);
  EXPECT_EQ(checked.out, "");
  EXPECT_EQ(checked.err, "Error: File format error\n");

  const CliRun arranged = Cli("arrange-bands plain.txt arranged.prn");
  EXPECT_EQ(arranged.status, 1);
  EXPECT_EQ(arranged.out, "");
  EXPECT_EQ(arranged.err, "Error: 1:Illegal read file.\n");
  EXPECT_FALSE(fs::exists(Path("arranged.prn")));

  const CliRun missing = Cli("arrange-bands missing.prn arranged.prn");
  EXPECT_EQ(missing.status, 1);
  EXPECT_EQ(missing.err, "Error: Cannot open input file.\n");

  fs::create_directory(Path("folder"));  // exists, but is no file: not "Cannot find folder"
  EXPECT_EQ(Cli("check folder").err, "Error: Cannot read folder: it is a folder.\n");
}

TEST_F(CliTest, AnswersUsageErrorsWithStatusTwoAndExplainsItsCommands) {
  EXPECT_EQ(Cli("").status, 2);
  EXPECT_EQ(Cli("frobnicate x").status, 2);
  EXPECT_EQ(Cli("check").status, 2);
  EXPECT_EQ(Cli("add-header only-one").status, 2);
  EXPECT_EQ(Cli("check a b").status, 2);

  const CliRun help = Cli("--help");
  EXPECT_EQ(help.status, 0);
  for (const char* command : {"check", "add-header", "arrange-bands", "flash", "version"}) {
    EXPECT_NE(help.out.find(command), std::string::npos) << command;
  }
  EXPECT_NE(help.out.find("Settings file: /"), std::string::npos);
  EXPECT_NE(Cli("--settings my.ini --help").out.find("Settings file: " + Path("my.ini").string()),
            std::string::npos);
  const CliRun commandHelp = Cli("arrange-bands --help");
  EXPECT_EQ(commandHelp.status, 0);
  EXPECT_NE(commandHelp.out.find("INPUT"), std::string::npos);
  // The command line keeps no settings file of its own.
  EXPECT_EQ(std::distance(fs::directory_iterator(dir_), fs::directory_iterator()), 0);
}

// Waits up to ten seconds for ready() to hold.
template <typename Ready>
bool WaitFor(Ready ready) {
  for (int step = 0; step < 1000; ++step) {
    if (ready()) {
      return true;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return false;
}

TEST_F(CliTest, AnInterruptedFileToolLeavesNoPartialOutput) {
  const fs::path fifo = Path("in.fifo");
  const fs::path output = Path("out.bin");
  fs::path partial = output;
  partial += ".partial";
  for (const std::string command : {"add-header", "arrange-bands"}) {
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    std::array<std::string, 4> arguments{ZARNIK_CLI, command, fifo.string(), output.string()};
    std::array<char*, 5> argv{arguments[0].data(), arguments[1].data(), arguments[2].data(),
                              arguments[3].data(), nullptr};
    pid_t child = 0;
    ASSERT_EQ(::posix_spawn(&child, ZARNIK_CLI, nullptr, nullptr, argv.data(), environ), 0);

    // The tool has the start of a stream and waits for the rest, its output begun.
    int writer = -1;
    EXPECT_TRUE(WaitFor([&] {
      writer = ::open(fifo.c_str(), O_WRONLY | O_NONBLOCK);
      return writer >= 0;
    }));
    const std::string startJob("\x1B\x40\x00\x02\x00\xBF\xFF\x10\x2B", 9);
    EXPECT_EQ(::write(writer, startJob.data(), startJob.size()), 9);
    EXPECT_TRUE(WaitFor([&] { return fs::exists(partial); })) << command;

    ::kill(child, SIGTERM);
    int status = 0;
    ::waitpid(child, &status, 0);
    EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGTERM) << command;
    EXPECT_FALSE(fs::exists(partial)) << command;
    EXPECT_FALSE(fs::exists(output)) << command;
    ::close(writer);
    fs::remove(fifo);
  }
}

TEST_F(CliTest, VersionNamesTheProgramAndThePortLibrary) {
  for (const char* arguments : {"--version", "check --version"}) {
    const CliRun run = Cli(arguments);
    EXPECT_EQ(run.status, 0) << arguments;
    EXPECT_EQ(run.out.rfind("zarnik-cli 1.", 0), 0U) << run.out;
    EXPECT_NE(run.out.find("\nport library VopP2 1.0.0.6\n"), std::string::npos) << run.out;
  }
}

}  // namespace
