// zarnik-cli's printer jobs against a printer that never answers, and interrupted while they
// run: nothing is sent after an unanswered Start Job, and an interrupted job is closed.
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <unistd.h>

#include <array>
#include <cstdlib>
#include <string>
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

// zarnik-cli running with pipes on its three standard streams.
class Running {
 public:
  Running(const fs::path& folder, const std::vector<std::string>& arguments) {
    std::array<int, 2> in{};
    std::array<int, 2> out{};
    std::array<int, 2> err{};
    EXPECT_EQ(::pipe(in.data()) | ::pipe(out.data()) | ::pipe(err.data()), 0);
    pid_ = ::fork();
    if (pid_ == 0) {
      ::dup2(in[0], 0);
      ::dup2(out[1], 1);
      ::dup2(err[1], 2);
      for (const int fd : {in[0], in[1], out[0], out[1], err[0], err[1]}) {
        ::close(fd);
      }
      if (::chdir(folder.c_str()) != 0) {
        ::_exit(127);
      }
      std::vector<char*> argv{const_cast<char*>(ZARNIK_CLI)};
      for (const std::string& argument : arguments) {
        argv.push_back(const_cast<char*>(argument.c_str()));
      }
      argv.push_back(nullptr);
      ::execv(ZARNIK_CLI, argv.data());
      ::_exit(127);
    }
    ::close(in[0]);
    ::close(out[1]);
    ::close(err[1]);
    input_ = in[1];
    streams_ = {out[0], err[0]};
  }
  ~Running() {
    ::close(input_);
    for (const int fd : streams_) {
      ::close(fd);
    }
  }
  Running(const Running&) = delete;
  Running& operator=(const Running&) = delete;

  // Reads both streams until the text has appeared on standard output (0) or error (1); a
  // minute without it fails the wait instead of hanging the suite.
  bool WaitFor(std::size_t stream, const std::string& text) {
    while (collected_[stream].find(text) == std::string::npos) {
      if (!ReadSome(60000)) {
        return false;
      }
    }
    return true;
  }
  void Signal(int signal) const { ::kill(pid_, signal); }
  // Reads to the end of both streams and returns the exit status.
  CliRun Finish() {
    while (ReadSome(60000)) {
    }
    int raw = 0;
    ::waitpid(pid_, &raw, 0);
    return {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, collected_[0], collected_[1]};
  }

 private:
  bool ReadSome(int milliseconds) {
    std::array<pollfd, 2> watch{{{streams_[0], POLLIN, 0}, {streams_[1], POLLIN, 0}}};
    if (::poll(watch.data(), watch.size(), milliseconds) <= 0) {
      return false;
    }
    bool any = false;
    for (std::size_t i = 0; i < watch.size(); ++i) {
      if ((watch[i].revents & (POLLIN | POLLHUP)) != 0) {
        std::array<char, 4096> chunk{};
        const ssize_t n = ::read(streams_[i], chunk.data(), chunk.size());
        if (n > 0) {
          collected_[i].append(chunk.data(), static_cast<std::size_t>(n));
          any = true;
        }
      }
    }
    return any;
  }

  pid_t pid_ = -1;
  int input_ = -1;
  std::array<int, 2> streams_{};
  std::array<std::string, 2> collected_;
};

class JobSafetyTest : public cli_test::CliTest {
 protected:
  void SetUp() override {
    CliTest::SetUp();
    Write("s.ini", "[System]\nOutput=0\n");
    Write("payload.bin", std::string(3000, 'p'));
    ASSERT_EQ(Cli("add-header payload.bin demo.vop").status, 0);
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
  ::close(master);

  EXPECT_EQ(flash.status, 1);
  EXPECT_EQ(flash.err, "Error: Fail to read!\n");
  EXPECT_EQ(flashSent, kStartJob);
  EXPECT_EQ(version.status, 1);
  EXPECT_EQ(version.err, "Error: Fail to read!\n");
  EXPECT_EQ(version.out, "");
  EXPECT_EQ(versionSent, kStartJob);
}

// During the Status Display an interrupt is its Cancel: the polling stops, End Job goes, and
// the person is told not to switch the printer off.
TEST_F(JobSafetyTest, AnInterruptWhileFlashingClosesTheJobAndWarns) {
  Running cli(dir_, Simulated({"flash", "demo.vop", "--type", "demo", "--yes"}));
  ASSERT_TRUE(cli.WaitFor(0, "Erasing: 10%\n"));
  cli.Signal(SIGINT);
  const CliRun run = cli.Finish();
  EXPECT_EQ(run.status, 130) << run.err;
  EXPECT_NE(run.err.find(text::kInterruptedWhileFlashing), std::string::npos) << run.err;
  EXPECT_NE(run.err.find(std::string(text::kInterruptedJobClosed) + "\n" +
                         std::string(text::kFlashMayBeWriting)),
            std::string::npos)
      << run.err;
  const std::string trace = Trace();
  EXPECT_NE(trace.find(kExecuteFlashWrite), std::string::npos);
  EXPECT_EQ(trace.substr(trace.size() - 8, 2), "\x1B\x41");  // End Job
}

// Before the flash is touched (here at the size confirmation) an interrupt closes the job
// without writing, and says a second interrupt would abandon it.
TEST_F(JobSafetyTest, AnInterruptBeforeTheFlashWriteClosesTheJobWithoutWriting) {
  Running cli(dir_, Simulated({"flash", "demo.vop", "--type", "demo"}));
  ASSERT_TRUE(cli.WaitFor(1, "[y/N] "));
  cli.Signal(SIGTERM);
  const CliRun run = cli.Finish();
  EXPECT_EQ(run.status, 130) << run.err;
  EXPECT_NE(run.err.find(text::kInterruptedInJob), std::string::npos) << run.err;
  EXPECT_NE(run.err.find(text::kInterruptedJobClosed), std::string::npos) << run.err;
  EXPECT_EQ(run.err.find(text::kFlashNotConfirmed), std::string::npos) << run.err;
  const std::string trace = Trace();
  EXPECT_EQ(trace.find(kExecuteFlashWrite), std::string::npos);
  EXPECT_EQ(trace.substr(trace.size() - 8, 2), "\x1B\x41");  // End Job
}

}  // namespace
