// A printer job holds its port from before Start Job until after End Job. On the real
// machine's backend a second opener of the port (another Zarnik, a spooler that locks its
// devices) is refused while the job runs, and gets it once the job has ended; the bytes on
// the line are the job's frames, as they always were.
#include <gtest/gtest.h>

#include <cstdlib>

#include "PseudoTerminal.h"
#include "RecordingUi.h"
#include "VopP2.h"
#include "flashjobs/GetVersion.h"
#include "platform/Services.h"

namespace flashjobs::test {
namespace {

using platform::kInvalidHandle;

// Opens the parallel port as another program would, for sole use; true when it got it.
bool SecondOpenerGetsThePort() {
  platform::Services& os = platform::RealMachine();
  const platform::Handle other =
      os.CreateFile(R"(\\.\LPT1)", platform::kGenericRead | platform::kGenericWrite, 0,
                    platform::kOpenExisting, 0);
  if (other == kInvalidHandle) {
    EXPECT_EQ(os.GetLastError(), platform::kErrorSharingViolation);
    return false;
  }
  os.CloseHandle(other);
  return true;
}

TEST(HeldPortTest, ASecondOpenerIsRefusedWhileAJobRuns) {
  testsupport::PseudoTerminal line;
  ASSERT_TRUE(line.ok());
  ::setenv("ZARNIK_LPT1", line.slavePath().c_str(), 1);
  ::setenv("CUPS_SERVER", "/nonexistent/zarnik-test/cups.sock", 1);
  ::unsetenv("ZARNIK_LPT_ACCESS");

  // At every pause of the query the other program tries the port, and the printer answers
  // with a reply of zeros (the job accepted, blank versions).
  int pauses = 0;
  int refusals = 0;
  const Wait wait = [&](std::chrono::milliseconds) {
    ++pauses;
    refusals += SecondOpenerGetsThePort() ? 0 : 1;
    line.Send(std::vector<std::uint8_t>(32, 0));
  };
  RecordingUi ui;
  std::uint8_t number = 0;
  EXPECT_EQ(GetVersion(0xFF, {1, 0, ""}, number, ui, wait), flashtools::ToolResult::kSucceeded);
  EXPECT_EQ(pauses, 6);
  EXPECT_EQ(refusals, pauses);
  EXPECT_TRUE(SecondOpenerGetsThePort());

  const std::string expected = std::string("\x1B\x40\x00\x02\x00\xBF\xFF\x10\x2B", 9) +
                               std::string("\x1B\x60\x01\x02\x00\x9F\x02\x00\x1F", 9) +
                               std::string("\x1B\x60\x02\x02\x00\x9F\x81\x00\x9F", 9) +
                               std::string("\x1B\x60\x03\x02\x00\x9F\x00\x00\x1F", 9) +
                               std::string("\x1B\x41\x04\x01\x00\xBE\x00\x1F", 8);
  const std::vector<std::uint8_t> sent = line.Receive(expected.size() + 1, 300);
  EXPECT_EQ(std::string(sent.begin(), sent.end()), expected);
  ::unsetenv("ZARNIK_LPT1");
  ::unsetenv("CUPS_SERVER");
}

}  // namespace
}  // namespace flashjobs::test
