// The printer's frame reader and its answers: jobs, numbering, damaged input, status replies.
#include <gtest/gtest.h>

#include "PrinterTestSupport.h"

namespace sim::test {
namespace {

using Kind = ProtocolFault::Kind;

TEST(PrinterJob, AcceptsStartJobWithByteTwoZeroAndRefusesWhenToldTo) {
  VirtualPrinter accepting;
  Send(accepting, StartJob(0, 0x34));
  const Reply yes = ReadReply(accepting);
  EXPECT_TRUE(yes.ok);
  EXPECT_GT(yes.count, 2U);
  EXPECT_EQ(yes.bytes[2], 0);
  EXPECT_TRUE(accepting.JobOpen());
  EXPECT_EQ(accepting.MachineId(), 0x34);

  VirtualPrinter refusing(PrinterConfig{.acceptJob = false});
  Send(refusing, StartJob(0));
  EXPECT_NE(ReadReply(refusing).bytes[2], 0);
  EXPECT_FALSE(refusing.JobOpen());
  // Nothing but a new Start Job is taken while no job is open.
  Send(refusing, RequestStatus(1, 0x02));
  EXPECT_EQ(ReadReply(refusing).count, 0U);
  ASSERT_EQ(refusing.Faults().size(), 1U);
  EXPECT_EQ(refusing.Faults()[0].kind, Kind::kOutsideJob);
}

TEST(PrinterJob, EndJobClosesTheJobAndANewStartJobDropsUnreadReplies) {
  VirtualPrinter printer;
  Send(printer, StartJob(0));
  Send(printer, RequestStatus(1, 0x02));
  Send(printer, StartJob(0));
  const Reply reply = ReadReply(printer);
  EXPECT_EQ(reply.bytes[1], 0x40);  // the new job's answer, not the old status
  EXPECT_EQ(ReadReply(printer).count, 0U);
  Send(printer, EndJob(1));
  EXPECT_FALSE(printer.JobOpen());
  EXPECT_TRUE(printer.Faults().empty());
}

TEST(PrinterStatus, AnswersEachStatusKindAtItsPositions) {
  VirtualPrinter printer(PrinterConfig{.controllerFirmware = "21FE",
                                       .engineFirmware = "ABCDEFGHIJKL",
                                       .hostCommunicationError = true});
  Send(printer, StartJob(0));
  ReadReply(printer);
  Send(printer, RequestStatus(1, 0x02));
  Send(printer, RequestStatus(2, 0x81));
  Send(printer, RequestStatus(3, 0x00));
  const Reply configuration = ReadReply(printer);
  const Reply engine = ReadReply(printer);
  const Reply status = ReadReply(printer);
  EXPECT_EQ(Bytes(configuration.bytes.begin() + 2, configuration.bytes.begin() + 6),
            (Bytes{'2', '1', 'F', 'E'}));
  EXPECT_EQ(std::string(engine.bytes.begin() + 20, engine.bytes.begin() + 32), "ABCDEFGHIJKL");
  EXPECT_EQ(status.bytes[12], 'l');
  EXPECT_EQ(ReadReply(printer).count, 0U);

  VirtualPrinter healthy(PrinterConfig{.controllerFirmware = "E1"});
  Send(healthy, StartJob(0));
  ReadReply(healthy);
  Send(healthy, RequestStatus(1, 0x00));
  EXPECT_NE(ReadReply(healthy).bytes[12], 'l');
  Send(healthy, RequestStatus(2, 0x02));
  const Reply shortText = ReadReply(healthy);
  EXPECT_EQ(shortText.bytes[3], '1');
  EXPECT_EQ(shortText.bytes[4], 0);  // characters not configured read as 0
}

TEST(PrinterStatus, CutsAReplyToTheReadersBufferAndDeliversOnePerRead) {
  VirtualPrinter printer;
  Send(printer, StartJob(0));
  Send(printer, RequestStatus(1, 0x02));
  std::uint8_t small[4] = {};
  EXPECT_EQ(printer.Read(small).count, 4U);
  EXPECT_EQ(small[2], 0);
  EXPECT_EQ(ReadReply(printer).bytes[2], 'E');
}

TEST(PrinterFrames, TakesFramesSplitAcrossWritesAndRecordsEveryByte) {
  VirtualPrinter printer;
  Bytes all = StartJob(0);
  const Bytes status = RequestStatus(1, 0x81);
  all.insert(all.end(), status.begin(), status.end());
  for (std::uint8_t b : all) {
    printer.Write(std::span<const std::uint8_t>(&b, 1));
  }
  EXPECT_EQ(Bytes(printer.Received().begin(), printer.Received().end()), all);
  ASSERT_EQ(printer.Frames().size(), 2U);
  EXPECT_EQ(printer.Frames()[1], status);
  EXPECT_TRUE(printer.Faults().empty());
}

TEST(PrinterFrames, RejectsDamagedFramesAndResumesAtTheNextGoodOne) {
  VirtualPrinter printer;
  Bytes badSum = StartJob(0);
  badSum.back() ^= 0x01;
  Bytes badComplement = StartJob(0);
  badComplement[5] = 0x00;
  Send(printer, badSum);
  Send(printer, Bytes{0x00, 0x1B, 0x99});
  Send(printer, badComplement);
  Send(printer, StartJob(0));
  ASSERT_EQ(printer.Faults().size(), 2U);
  EXPECT_EQ(printer.Faults()[0].kind, Kind::kBadSum);
  EXPECT_EQ(printer.Faults()[0].offset, 0U);
  EXPECT_EQ(printer.Faults()[1].kind, Kind::kStrayBytes);
  EXPECT_EQ(printer.Faults()[1].offset, 9U);
  EXPECT_TRUE(printer.JobOpen());
  EXPECT_EQ(printer.Frames().size(), 1U);
}

TEST(PrinterFrames, FollowsANumberGapButIgnoresOldNumbers) {
  VirtualPrinter printer;
  Send(printer, StartJob(0xFE));
  Send(printer, RequestStatus(0xFF, 0x02));  // expected: 0xFE + 1
  Send(printer, RequestStatus(0x01, 0x02));  // 0x00 lost on the way
  Send(printer, RequestStatus(0x01, 0x02));  // repeated
  ASSERT_EQ(printer.Faults().size(), 2U);
  EXPECT_EQ(printer.Faults()[0].kind, Kind::kNumberGap);
  EXPECT_EQ(printer.Faults()[1].kind, Kind::kStaleNumber);
  int replies = 0;
  while (ReadReply(printer).count > 0) {
    ++replies;
  }
  EXPECT_EQ(replies, 3);  // Start Job and the two frames taken
}

TEST(PrinterLink, FailsReadsWhenSilentAndWritesWhenTheLinkBreaks) {
  VirtualPrinter silent(PrinterConfig{.readsBeforeSilence = 1});
  Send(silent, StartJob(0));
  EXPECT_TRUE(ReadReply(silent).ok);
  Send(silent, RequestStatus(1, 0x02));
  EXPECT_FALSE(ReadReply(silent).ok);

  VirtualPrinter broken(PrinterConfig{.writesBeforeFailure = 1});
  EXPECT_TRUE(broken.Write(StartJob(0)).ok);
  const IoResult refused = broken.Write(EndJob(1));
  EXPECT_FALSE(refused.ok);
  EXPECT_NE(refused.error, 0U);
  EXPECT_EQ(broken.Received().size(), StartJob(0).size());
}

}  // namespace
}  // namespace sim::test
