// zarnik-cli's flash progress on a terminal 80 columns wide: the data stream's line, then the
// Status Display's, each rewritten in place and never as wide as the terminal, so that no
// update wraps into a new line.
#include <pty.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <string>
#include <vector>

#include "CliFixture.h"

namespace {

// Runs zarnik-cli in the folder with a pseudo-terminal of the given width as its terminal;
// returns everything it wrote there.
std::string OnTerminal(const std::filesystem::path& folder, int columns,
                       std::vector<std::string> arguments) {
  winsize size{};
  size.ws_row = 24;
  size.ws_col = static_cast<unsigned short>(columns);
  int master = -1;
  const pid_t child = ::forkpty(&master, nullptr, nullptr, &size);
  if (child == 0) {
    cli_test::ExecCli(folder, std::move(arguments));
  }
  std::string output;
  std::array<char, 4096> chunk{};
  ssize_t n = 0;
  while ((n = ::read(master, chunk.data(), chunk.size())) > 0) {
    output.append(chunk.data(), static_cast<std::size_t>(n));
  }
  ::close(master);
  ::waitpid(child, nullptr, 0);
  return output;
}

// The pieces between carriage returns and line ends: what each update shows.
std::vector<std::string> Updates(const std::string& output) {
  std::vector<std::string> pieces(1);
  for (const char c : output) {
    if (c == '\r' || c == '\n') {
      pieces.emplace_back();
    } else {
      pieces.back() += c;
    }
  }
  return pieces;
}

class ProgressLineTest : public cli_test::PrinterCliTest {};

TEST_F(ProgressLineTest, EveryUpdateFitsAnEightyColumnTerminal) {
  // A slow link, so the data stream is seen on its way.
  Write("printer.ini", "[Printer]\nLinkSpeed=40000\nProgressStep=25\n");
  const std::string output =
      OnTerminal(dir_, 80,
                 {"--settings", "s.ini", "--simulate", "--sim-config", "printer.ini", "flash",
                  "demo.vop", "--type", "demo", "--yes"});
  bool streamEnded = false;
  bool statusEnded = false;
  for (const std::string& update : Updates(output)) {
    EXPECT_LT(update.size(), 80U) << update;
    streamEnded = streamEnded || (update.rfind("Sending: [", 0) == 0 &&
                                  update.find("100%  3.2 KiB of 3.2 KiB") != std::string::npos);
    statusEnded = statusEnded || update.find("Verifying [########] 100%") != std::string::npos;
  }
  EXPECT_TRUE(streamEnded) << output;
  EXPECT_TRUE(statusEnded) << output;
  EXPECT_NE(output.find("Complete: Writing complete!"), std::string::npos) << output;

  // Too narrow for the three phases: the one under way is shown whole, with its figure.
  const std::string narrow = OnTerminal(
      dir_, 30,
      {"--settings", "s.ini", "--simulate", "flash", "demo.vop", "--type", "demo", "--yes"});
  const auto updates = Updates(narrow);
  EXPECT_NE(std::find(updates.begin(), updates.end(), "Verifying 100%"), updates.end()) << narrow;
}

}  // namespace
