// zarnik-cli's printer jobs against a printer that never answers, and interrupted while they
// run: nothing is sent after an unanswered Start Job, and an interrupted job is closed.
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <unistd.h>

#include <array>
#include <chrono>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include "CliFixture.h"
#include "zarnik/Strings.h"

namespace {

using cli_test::CliRun;
namespace fs = std::filesystem;
namespace text = zarnik::text;

constexpr const char* kSettings = "--settings s.ini ";

// Everything the program sent to a pseudo-terminal that nobody answers on.
std::string Drain(int master) {
  std::string bytes;
  std::array<char, 4096> chunk{};
  ssize_t n = 0;
  while ((n = ::read(master, chunk.data(), chunk.size())) > 0) {
    bytes.append(chunk.data(), static_cast<std::size_t>(n));
  }
  return bytes;
}

// zarnik-cli running with a pipe for its input (held open, so a prompt waits) and one pipe
// for its output and errors together.
class Running {
 public:
  Running(const fs::path& folder, std::vector<std::string> arguments) {
    std::array<int, 2> in{};
    std::array<int, 2> out{};
    EXPECT_EQ(::pipe(in.data()) | ::pipe(out.data()), 0);
    pid_ = ::fork();
    if (pid_ == 0) {
      ::dup2(in[0], 0);
      ::dup2(out[1], 1);
      ::dup2(out[1], 2);
      cli_test::ExecCli(folder, std::move(arguments));
    }
    ::close(in[0]);
    ::close(out[1]);
    input_ = in[1];
    output_ = out[0];
  }
  ~Running() {
    ::close(input_);
    ::close(output_);
  }
  Running(const Running&) = delete;
  Running& operator=(const Running&) = delete;

  // Reads until the text has appeared; false if the output ended, or a minute passed, first.
  bool WaitFor(const std::string& text) {
    while (output.find(text) == std::string::npos) {
      if (!ReadSome()) {
        return false;
      }
    }
    return true;
  }
  void Signal(int signal) const { ::kill(pid_, signal); }
  // Reads to the end of the output and returns the exit status.
  int Finish() {
    while (ReadSome()) {
    }
    int raw = 0;
    ::waitpid(pid_, &raw, 0);
    return WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
  }

  std::string output;

 private:
  bool ReadSome() {
    pollfd watch{output_, POLLIN, 0};
    std::array<char, 4096> chunk{};
    if (::poll(&watch, 1, 60000) <= 0) {
      return false;
    }
    const ssize_t n = ::read(output_, chunk.data(), chunk.size());
    if (n <= 0) {
      return false;
    }
    output.append(chunk.data(), static_cast<std::size_t>(n));
    return true;
  }

  pid_t pid_ = -1;
  int input_ = -1;
  int output_ = -1;
};

class JobSafetyTest : public cli_test::PrinterCliTest {
 protected:
  void SetUp() override {
    PrinterCliTest::SetUp();
    // Every status read moves a bar by 2 %: the Status Display has many ticks to go.
    Write("printer.ini", "[Printer]\nProgressStep=1\n");
  }

  std::vector<std::string> Simulated(std::vector<std::string> command) const {
    std::vector<std::string> arguments{"--settings",  "s.ini",       "--simulate", "--sim-config",
                                       "printer.ini", "--sim-trace", "trace.bin"};
    arguments.insert(arguments.end(), command.begin(), command.end());
    return arguments;
  }
  std::string Trace() const { return cli_test::Slurp(Path("trace.bin")); }
};

const std::string kStartJob("\x1B\x40\x00\x02\x00\xBF\xFF\x10\x2B", 9);
const std::string kExecuteFlashWrite("\x1B\x73", 2);

TEST_F(JobSafetyTest, ASilentPrinterAcceptsNothingAndIsSentNothingMore) {
  const int master = ::posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK);
  ASSERT_GE(master, 0);
  ASSERT_EQ(::grantpt(master) | ::unlockpt(master), 0);
  ASSERT_EQ(::setenv("ZARNIK_LPT1", ::ptsname(master), 1), 0);
  const CliRun flash = Cli(std::string(kSettings) + "flash demo.vop --type demo --yes");
  const std::string flashSent = Drain(master);
  const CliRun version = Cli(std::string(kSettings) + "version");
  const std::string versionSent = Drain(master);
  ::unsetenv("ZARNIK_LPT1");

  // The failure says why, right under the tool's text.
  const std::string silent =
      "Error: Fail to read!\n" + std::string(::ptsname(master)) + " did not answer in time.";
  EXPECT_EQ(flash.status, 1);
  EXPECT_EQ(flash.err.rfind(silent, 0), 0U) << flash.err;
  EXPECT_EQ(flashSent, kStartJob);
  EXPECT_EQ(version.status, 1);
  EXPECT_EQ(version.err.rfind(silent, 0), 0U) << version.err;
  EXPECT_EQ(version.out, "");
  EXPECT_EQ(versionSent, kStartJob);
  ::close(master);
}

// During the Status Display an interrupt is its Cancel: the polling stops, End Job goes, and
// the person is told not to switch the printer off.
TEST_F(JobSafetyTest, AnInterruptWhileFlashingClosesTheJobAndWarns) {
  Running cli(dir_, Simulated({"flash", "demo.vop", "--type", "demo", "--yes"}));
  ASSERT_TRUE(cli.WaitFor("Erasing: 10%\n"));
  cli.Signal(SIGINT);
  EXPECT_EQ(cli.Finish(), 130) << cli.output;
  EXPECT_NE(cli.output.find(text::kInterruptedWhileFlashing), std::string::npos) << cli.output;
  EXPECT_NE(cli.output.find(std::string(text::kInterruptedJobClosed) + "\n" +
                            std::string(text::kFlashMayBeWriting)),
            std::string::npos)
      << cli.output;
  const std::string trace = Trace();
  EXPECT_NE(trace.find(kExecuteFlashWrite), std::string::npos);
  EXPECT_EQ(trace.substr(trace.size() - 8, 2), "\x1B\x41");  // End Job
}

// While Start Job is on its way (a slow link) the printer may not have opened a job at all,
// and the interrupt does not say it has.
TEST_F(JobSafetyTest, AnInterruptBeforeThePrinterAnsweredClaimsNoOpenJob) {
  Write("printer.ini", "[Printer]\nLinkSpeed=5\nAcceptJob=0\n");
  Running cli(dir_, Simulated({"version"}));
  // Start Job takes 1.8 s: its first bytes have arrived, the printer cannot have answered.
  const auto started = [this] {
    std::error_code missing;
    const auto size = fs::file_size(Path("trace.bin"), missing);
    return !missing && size > 0;
  };
  for (int wait = 0; wait < 500 && !started(); ++wait) {
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  cli.Signal(SIGINT);
  EXPECT_EQ(cli.Finish(), 130) << cli.output;
  EXPECT_NE(cli.output.find(text::kInterruptedWhileOpening), std::string::npos) << cli.output;
  EXPECT_EQ(cli.output.find(text::kInterruptedInJob), std::string::npos) << cli.output;
}

// Before the flash is touched (here at the size confirmation) an interrupt closes the job
// without writing, and says a second interrupt would abandon it. A lost terminal (SIGHUP)
// counts as an interrupt.
TEST_F(JobSafetyTest, AnInterruptBeforeTheFlashWriteClosesTheJobWithoutWriting) {
  for (const int signal : {SIGTERM, SIGHUP}) {
    Running cli(dir_, Simulated({"flash", "demo.vop", "--type", "demo"}));
    ASSERT_TRUE(cli.WaitFor("[y/N] "));
    cli.Signal(signal);
    EXPECT_EQ(cli.Finish(), 130) << cli.output;
    EXPECT_NE(cli.output.find(text::kInterruptedInJob), std::string::npos) << cli.output;
    EXPECT_NE(cli.output.find(text::kInterruptedJobClosed), std::string::npos) << cli.output;
    EXPECT_EQ(cli.output.find(text::kFlashNotConfirmed), std::string::npos) << cli.output;
    const std::string trace = Trace();
    EXPECT_EQ(trace.find(kExecuteFlashWrite), std::string::npos);
    EXPECT_EQ(trace.substr(trace.size() - 8, 2), "\x1B\x41");  // End Job
  }
}

// Closing a terminal sends SIGHUP twice (the system's, then the shell's), and a logout may
// send SIGTERM after it: that is one interrupt, and the job is still closed after the data
// stream.
TEST_F(JobSafetyTest, AClosedTerminalsSecondHangupDoesNotAbandonTheJob) {
  Write("printer.ini", "[Printer]\nLinkSpeed=2000\n");
  Running cli(dir_, Simulated({"flash", "demo.vop", "--type", "demo", "--yes"}));
  const auto streaming = [this] {
    std::error_code missing;
    return fs::file_size(Path("trace.bin"), missing) > 100 && !missing;
  };
  for (int wait = 0; wait < 500 && !streaming(); ++wait) {
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  cli.Signal(SIGHUP);
  ASSERT_TRUE(cli.WaitFor(std::string(text::kInterruptedInJob)));
  cli.Signal(SIGHUP);
  cli.Signal(SIGTERM);
  EXPECT_EQ(cli.Finish(), 130) << cli.output;
  EXPECT_EQ(cli.output.find(text::kAbandonedJob), std::string::npos) << cli.output;
  const std::string trace = Trace();
  EXPECT_EQ(trace.substr(trace.size() - 8, 2), "\x1B\x41");  // End Job
}

}  // namespace
