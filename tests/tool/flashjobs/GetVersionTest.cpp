// Get Version against the virtual printer, through the port channel and the real port
// library on the simulated machine.
#include <gtest/gtest.h>

#include <fstream>

#include "OnSimulatedMachine.h"
#include "VopP2.h"
#include "flashjobs/GetVersion.h"
#include "zarnik/Strings.h"

namespace flashjobs::test {
namespace {

using flashtools::MessageIcon;
using flashtools::ToolResult;

Message Report(const std::string& controller, const std::string& engine) {
  return Shown("Controller FW: " + controller + "\nEngine FW: " + engine + "\n", "Get Version",
               MessageIcon::kNone);
}

class VersionQuery : public OverLptDriver {
 protected:
  ToolResult Query(const PortTarget& port) {
    return GetVersion(0xFF, port, number, ui,
                      [this](std::chrono::milliseconds period) { waits.push_back(period); });
  }
  ToolResult Query() { return Query(lpt); }

  std::uint8_t number = 0x55;
  std::vector<std::chrono::milliseconds> waits;
};

TEST_F(VersionQuery, SendsOneNumberedJobAndReportsBothVersions) {
  AttachPrinter({.controllerFirmware = "EF12", .engineFirmware = "ABCDEFGHIJKL"});
  EXPECT_EQ(Query(), ToolResult::kSucceeded);
  EXPECT_EQ(ui.messages, (std::vector<Message>{Report("EF12", "ABCD.EFGH.IJKL")}));
  ASSERT_EQ(Frames().size(), 5U);
  EXPECT_EQ(Frames()[0], Hex("1B 40 00 02 00 BF FF 10 2B"));
  EXPECT_EQ(Frames()[1], Hex("1B 60 01 02 00 9F 02 00 1F"));
  EXPECT_EQ(Frames()[2], Hex("1B 60 02 02 00 9F 81 00 9F"));
  EXPECT_EQ(Frames()[3], Hex("1B 60 03 02 00 9F 00 00 1F"));
  EXPECT_EQ(Frames()[4], Hex("1B 41 04 01 00 BE 00 1F"));
  EXPECT_TRUE(printer->Faults().empty());
  EXPECT_FALSE(printer->JobOpen());
  EXPECT_EQ(number, 4);
  EXPECT_EQ(waits, std::vector<std::chrono::milliseconds>(6, std::chrono::milliseconds(100)));
}

TEST_F(VersionQuery, ReversesControllerCharactersThatDoNotBeginWithEF) {
  AttachPrinter({.controllerFirmware = "21FE", .engineFirmware = "ABCDEFGHIJKL"});
  Query();
  EXPECT_EQ(ui.messages, (std::vector<Message>{Report("EF12", "ABCD.EFGH.IJKL")}));

  AttachPrinter({.controllerFirmware = "E1F2", .engineFirmware = "000011112222"});
  ui.messages.clear();
  Query();
  EXPECT_EQ(ui.messages, (std::vector<Message>{Report("2F1E", "0000.1111.2222")}));

  // Bytes that are no printable characters never reach a terminal as they are.
  AttachPrinter({.controllerFirmware = "EF\t2",
                 .engineFirmware = "AB\x1b[2J\x9b\x7f"
                                   "FGHI"});
  ui.messages.clear();
  Query();
  EXPECT_EQ(ui.messages, (std::vector<Message>{Report("EF?2", "AB?[.2J??.FGHI")}));
}

TEST_F(VersionQuery, ReadsTheStatusRepliesAsOrdinaryReadsInEcpFifoMode) {
  AttachPrinter({.controllerFirmware = "EF12", .engineFirmware = "ABCDEFGHIJKL"});
  EXPECT_EQ(Query({1, 2, ""}), ToolResult::kSucceeded);
  EXPECT_EQ(ui.messages, (std::vector<Message>{Report("EF12", "ABCD.EFGH.IJKL")}));
}

TEST_F(VersionQuery, AHostCommunicationErrorEndsTheQueryAndClosesTheJob) {
  AttachPrinter({.hostCommunicationError = true});
  EXPECT_EQ(Query(), ToolResult::kFailed);
  EXPECT_EQ(
      ui.messages,
      (std::vector<Message>{Shown("Host communication error is occured", "Tessik Error Message")}));
  ASSERT_EQ(Frames().size(), 5U);
  EXPECT_EQ(Frames()[4], Hex("1B 41 04 01 00 BE 00 1F"));
  EXPECT_FALSE(printer->JobOpen());
  EXPECT_EQ(number, 4);
}

// A stop asked from outside is honoured after the step under way, and the job is closed.
TEST_F(VersionQuery, AStopClosesTheJobAfterTheStepUnderWay) {
  JobControl control;
  EXPECT_EQ(GetVersion(
                0xFF, lpt, number, ui,
                [&](std::chrono::milliseconds) {
                  if (control.Stage() == JobStage::kQuerying) {
                    control.RequestStop();
                  }
                },
                control),
            ToolResult::kFailed);
  EXPECT_TRUE(ui.messages.empty());
  ASSERT_EQ(Frames().size(), 3U);
  EXPECT_EQ(Frames()[2], Hex("1B 41 02 01 00 BE 00 1D"));
  EXPECT_EQ(control.Stage(), JobStage::kClosed);
}

TEST_F(VersionQuery, ReportsEachFailureWithItsOwnText) {
  AttachPrinter({.acceptJob = false});
  EXPECT_EQ(Query(), ToolResult::kFailed);
  EXPECT_EQ(ui.messages, (std::vector<Message>{Shown("Job Unaccepted", "Tessik Error Message")}));
  EXPECT_EQ(Frames().size(), 1U);

  AttachPrinter({.readsBeforeSilence = 0});
  ui.messages.clear();
  EXPECT_EQ(Query(), ToolResult::kFailed);
  EXPECT_EQ(ui.messages, (std::vector<Message>{Shown("Fail to read!", "Error")}));

  // A silent printer has not accepted the job.
  AttachPrinter();
  device->answeredReads = 0;
  ui.messages.clear();
  EXPECT_EQ(Query(), ToolResult::kFailed);
  EXPECT_EQ(ui.messages, (std::vector<Message>{Shown("Fail to read!", "Error")}));
  EXPECT_EQ(Frames().size(), 1U);
  JobControl unanswered;  // no job began, so none is said to be closed
  AttachPrinter();
  device->answeredReads = 0;
  GetVersion(
      0xFF, lpt, number, ui, [](std::chrono::milliseconds) {}, unanswered);
  EXPECT_EQ(unanswered.Stage(), JobStage::kNotOpened);

  // A status reply that cannot be read shows the port library's own text; the job is closed.
  AttachPrinter({.readsBeforeSilence = 2});
  ui.messages.clear();
  EXPECT_EQ(Query(), ToolResult::kFailed);
  ASSERT_EQ(ui.messages.size(), 1U);
  EXPECT_EQ(ui.messages[0], Shown(VopP2GetMessage(), "Tessik Error Message"));
  EXPECT_FALSE(ui.messages[0].text.empty());
  ASSERT_EQ(Frames().size(), 4U);
  EXPECT_EQ(Frames()[3], Hex("1B 41 03 01 00 BE 00 1E"));
  EXPECT_EQ(number, 3);

  // A status reply of no bytes is a failed read, not a version of blanks.
  AttachPrinter();
  device->answeredReads = 2;
  ui.messages.clear();
  EXPECT_EQ(Query(), ToolResult::kFailed);
  EXPECT_EQ(ui.messages, (std::vector<Message>{Shown("Fail to read!", "Tessik Error Message")}));
  EXPECT_EQ(Frames().size(), 4U);
  EXPECT_FALSE(printer->JobOpen());
  // So is one that ends before its last firmware character (the configuration's, the
  // engine's).
  for (const std::size_t limit : {5U, 31U}) {
    AttachPrinter();
    device->replyLimit = limit;
    ui.messages.clear();
    EXPECT_EQ(Query(), ToolResult::kFailed);
    EXPECT_EQ(ui.messages, (std::vector<Message>{Shown("Fail to read!", "Tessik Error Message")}));
    EXPECT_FALSE(printer->JobOpen());
  }

  AttachPrinter();
  device->failWrite = 1;
  ui.messages.clear();
  EXPECT_EQ(Query(), ToolResult::kFailed);
  EXPECT_EQ(ui.messages,
            (std::vector<Message>{Shown("Transmission Failure", "Tessik Error Message")}));

  AttachPrinter();
  device->cutWrite = 1;
  ui.messages.clear();
  EXPECT_EQ(Query(), ToolResult::kFailed);
  EXPECT_EQ(ui.messages,
            (std::vector<Message>{
                Shown("Transmission Failure", "Tessik Error Message"),
                Shown(std::string(zarnik::text::kStartJobCutShort), "Tessik Error Message")}));

  AttachPrinter();
  device->failWrite = 5;
  ui.messages.clear();
  EXPECT_EQ(Query(), ToolResult::kFailed);
  EXPECT_EQ(ui.messages,
            (std::vector<Message>{Shown("Transmission Failure", "Tessik Error Message")}));
  EXPECT_EQ(number, 4);
}

// The file port exists in every build; it takes the Start Job but never answers it.
class VersionQueryOnFilePort : public OnSimulatedMachine {};

TEST_F(VersionQueryOnFilePort, StopsAtTheFirstReply) {
  const PortTarget capture{0, 0, FilePath("capture.prn").string()};
  std::uint8_t number = 7;
  EXPECT_EQ(GetVersion(0x01, capture, number, ui, [](std::chrono::milliseconds) {}),
            ToolResult::kFailed);
  std::ifstream in(FilePath("capture.prn"), std::ios::binary);
  EXPECT_EQ(Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()),
            Hex("1B 40 00 02 00 BF 01 10 2D"));
  EXPECT_EQ(ui.messages, (std::vector<Message>{Shown("Fail to read!", "Error")}));
  EXPECT_EQ(number, 0);
}

}  // namespace
}  // namespace flashjobs::test
