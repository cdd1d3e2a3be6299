// Write Data Flash ROM against the virtual printer, through the port channel and the real
// port library on the simulated machine.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <fstream>
#include <thread>

#include "OnSimulatedMachine.h"
#include "flashjobs/DataStreamProgress.h"
#include "flashjobs/WriteDataFlashRom.h"
#include "flashtools/FileTools.h"
#include "sim/PacedLink.h"
#include "zarnik/Strings.h"

namespace flashjobs::test {
namespace {

using flashtools::MessageIcon;
using flashtools::ToolResult;
namespace fs = std::filesystem;

const Message kComplete = Shown("Writing complete!", "Complete");
const Message kTransmissionFailure = Shown("Transmission Failure", "Tessik Error Message");

Message Confirmation(int mbit) {
  return {"Write " + std::to_string(mbit) + "Mbit data flash ROM", "Writing Confirmation",
          MessageIcon::kExclamation, true};
}

Bytes ReadAll(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

Bytes EndJobFrame(std::uint8_t number) {
  Bytes frame = Hex("1B 41 00 01 00 BE 00 00");
  frame[2] = number;
  frame[7] = static_cast<std::uint8_t>(0x1B + 0x41 + 0x01 + 0xBE + number);
  return frame;
}

std::string TwoHex(std::uint8_t byte) {
  constexpr std::string_view kDigits = "0123456789abcdef";
  return {kDigits[byte >> 4], kDigits[byte & 0x0F]};
}

std::uint32_t U32At(const Bytes& bytes, std::size_t at) {
  return static_cast<std::uint32_t>(bytes[at] | (bytes[at + 1] << 8) | (bytes[at + 2] << 16) |
                                    (bytes[at + 3] << 24));
}

// Runs the procedure with the data file, the data type and machine id 0xFF on LPT1.
class FlashWrite : public OverLptDriver {
 protected:
  ToolResult Flash(const fs::path& file, int dataType) {
    return WriteDataFlashRom({file, dataType, 0xFF, lpt}, number, ui, display);
  }
  fs::path DemoFile(std::size_t payloadSize) {
    return WriteFile("demo.vop", MakeDataFile(0x40, CountingPayload(payloadSize)));
  }
  bool FlashHolds(const Bytes& payload) const {
    const auto flash = printer->Flash();
    return std::equal(payload.begin(), payload.end(), flash.begin()) &&
           std::all_of(flash.begin() + static_cast<std::ptrdiff_t>(payload.size()), flash.end(),
                       [](std::uint8_t b) { return b == 0xFF; });
  }
  bool FlashUntouched() const { return FlashHolds({}); }

  std::uint8_t number = 0x55;
};

// What a front end reads of the data stream while the one long write goes on: the stream on
// its way, growing slice by slice, and at its end all of it.
TEST_F(FlashWrite, DataStreamProgressFollowsTheWriteToItsEnd) {
  JobControl control;
  std::vector<DataStreamProgress> whileSending;
  auto now = std::chrono::steady_clock::time_point{};
  Machine().AttachDevice(R"(\\.\LPT1)", std::make_shared<sim::PacedLink>(
                                            device, 20000, [&now] { return now; },
                                            [&](std::chrono::steady_clock::duration d) {
                                              now += d;
                                              if (const auto seen = CurrentDataStream(control);
                                                  seen.state == JobControl::Stream::kSending) {
                                                whileSending.push_back(seen);
                                              }
                                            }));
  const fs::path file = DemoFile(10000 - 257);
  EXPECT_EQ(
      WriteDataFlashRom({file, kDataTypeDemoPrintData, 0xFF, lpt}, number, ui, display, control),
      ToolResult::kSucceeded);
  // Before each slice of 1000 bytes; the last byte is too short a wait to sleep for.
  ASSERT_EQ(whileSending.size(), 10U);
  for (std::size_t i = 0; i < whileSending.size(); ++i) {
    EXPECT_EQ(whileSending[i].total, 10001U);
    EXPECT_EQ(whileSending[i].sent, i * 1000);
  }
  const DataStreamProgress end = CurrentDataStream(control);
  EXPECT_EQ(end.state, JobControl::Stream::kSent);
  EXPECT_EQ(end.sent, 10001U);
  EXPECT_EQ(end.Percent(), 100);
}

TEST_F(FlashWrite, WorkedRunSendsTheExactFramesAndTheWholeFileWithItsSum) {
  const Bytes input = CountingPayload(0x1234);
  RecordingUi fileUi;
  ASSERT_EQ(flashtools::AddHeader(WriteFile("input.bin", input), FilePath("demo.vop"), fileUi),
            ToolResult::kSucceeded);
  const Bytes file = ReadAll(FilePath("demo.vop"));
  ASSERT_EQ(file.size(), 4917U);

  EXPECT_EQ(Flash(FilePath("demo.vop"), kDataTypeDemoPrintData), ToolResult::kSucceeded);

  ASSERT_EQ(Frames().size(), 4U);
  EXPECT_EQ(Frames()[0], Hex("1B 40 00 02 00 BF FF 10 2B"));
  EXPECT_EQ(Frames()[1], Hex("1B 70 01 0C 00 8F 40 82 36 13 00 00 64 00 00 00 00 00 96"));
  EXPECT_EQ(Frames()[2], Hex("1B 73 02 0A 00 8C 00 04 02 00 35 13 00 00 00 00 74"));
  EXPECT_EQ(Frames()[3], Hex("1B 41 03 01 00 BE 00 1E"));
  EXPECT_EQ(printer->LastStreamSize(), 4918U);
  const auto received = printer->Received();
  ASSERT_EQ(received.size(), 9U + 19U + 4918U + 17U + 8U);
  EXPECT_TRUE(std::equal(file.begin(), file.end(), received.begin() + 28));
  EXPECT_EQ(received[28 + 4917], static_cast<std::uint8_t>(2 * file.back()));
  EXPECT_TRUE(printer->Faults().empty());

  EXPECT_EQ(number, 3);
  EXPECT_EQ(ui.messages, (std::vector<Message>{Confirmation(8), kComplete}));
  EXPECT_EQ(display.end.bars, (ProgressBars{100, 100, 100}));
  EXPECT_TRUE(FlashHolds(input));
  EXPECT_FALSE(printer->JobOpen());
}

TEST_F(FlashWrite, ExecuteFlashWriteGoesInTheFlashingStage) {
  JobControl control;
  JobStage stage = JobStage::kNoJob;
  device->hookAfterWrite = 4;
  device->hook = [&] { stage = control.Stage(); };
  EXPECT_EQ(WriteDataFlashRom({DemoFile(100), kDataTypeDemoPrintData, 0xFF, lpt}, number, ui,
                              display, control),
            ToolResult::kSucceeded);
  EXPECT_EQ(Frames()[2][1], 0x73);  // the fourth write
  EXPECT_EQ(stage, JobStage::kFlashing);
}

// The printer would refuse a damaged file only after the whole transfer, if at all.
TEST_F(FlashWrite, ADamagedFileIsRefusedBeforeAnythingIsSent) {
  Bytes headerOnly = MakeDataFile(0x40, {});
  headerOnly.pop_back();
  Bytes cut = MakeDataFile(0x40, CountingPayload(100));
  cut.resize(cut.size() - 2);
  Bytes badSum = MakeDataFile(0x40, CountingPayload(100));
  const std::uint8_t sum = badSum.back();
  badSum.back() = static_cast<std::uint8_t>(sum + 1);
  const std::vector<std::pair<Bytes, std::string>> cases = {
      {headerOnly,
       "Damaged data file: its header announces 0 payload bytes, so the file needs 257 bytes, "
       "but it holds 256. Nothing was sent to the printer."},
      {cut,
       "Damaged data file: its header announces 100 payload bytes, so the file needs 357 bytes, "
       "but it holds 355. Nothing was sent to the printer."},
      {badSum, "Damaged data file: its bytes sum to " + TwoHex(sum) + ", but its stored sum is " +
                   TwoHex(badSum.back()) + ". Nothing was sent to the printer."}};
  for (const auto& [bytes, text] : cases) {
    ui.messages.clear();
    EXPECT_EQ(Flash(WriteFile("damaged.vop", bytes), kDataTypeDemoPrintData),
              ToolResult::kFailedKeepOpen);
    EXPECT_EQ(ui.messages, (std::vector<Message>{Shown(text, "Error")}));
  }
  EXPECT_TRUE(printer->Received().empty());
  EXPECT_EQ(number, 0x55);
}

// Bytes after the sum byte are no part of the data file but are sent with it, as they always
// were; the file's checks ignore them.
TEST_F(FlashWrite, BytesAfterTheSumAreSentUnchecked) {
  Bytes file = MakeDataFile(0x40, CountingPayload(100));
  file.push_back(0xEE);
  Flash(WriteFile("extra.vop", file), kDataTypeDemoPrintData);
  ASSERT_GE(Frames().size(), 2U);
  EXPECT_EQ(U32At(Frames()[1], 8), file.size() + 1);
  EXPECT_EQ(printer->LastStreamSize(), file.size() + 1);
}

TEST_F(FlashWrite, MaskRomFirmwareReadsNoCapacityAndWritesWithModeZero) {
  const Bytes payload = CountingPayload(1000);
  const auto file = WriteFile("fw.vop", MakeDataFile(0x00, payload, 0x00));
  EXPECT_EQ(Flash(file, kDataTypeMaskRomFirmware), ToolResult::kSucceeded);
  ASSERT_EQ(Frames().size(), 4U);
  EXPECT_EQ(Frames()[1][6], 0x00);  // Options bit 7 clear: no flag
  EXPECT_EQ(U32At(Frames()[2], 6), 0U);
  EXPECT_EQ(U32At(Frames()[2], 10), 1257U);
  EXPECT_EQ(ui.messages, (std::vector<Message>{kComplete}));
  EXPECT_TRUE(FlashHolds(payload));
  EXPECT_EQ(number, 3);
}

TEST_F(FlashWrite, FirmwareWritesWithTheFlashModeAfterTheCapacityCheck) {
  const Bytes payload = CountingPayload(3000);
  EXPECT_EQ(Flash(WriteFile("fw.vop", MakeDataFile(0x00, payload)), kDataTypeFirmware),
            ToolResult::kSucceeded);
  EXPECT_EQ(U32At(Frames()[2], 6), 0x00020400U);
  EXPECT_EQ(ui.messages, (std::vector<Message>{Confirmation(8), kComplete}));
  EXPECT_TRUE(FlashHolds(payload));
}

TEST_F(FlashWrite, CapacityAllowsAFileThatFillsTheFlashExactly) {
  const Bytes payload = CountingPayload(1048576 - 257);
  EXPECT_EQ(Flash(WriteFile("full.vop", MakeDataFile(0x40, payload)), kDataTypeDemoPrintData),
            ToolResult::kSucceeded);
  EXPECT_EQ(ui.messages, (std::vector<Message>{Confirmation(8), kComplete}));
  EXPECT_TRUE(FlashHolds(payload));
}

TEST_F(FlashWrite, CapacityRefusesAFileOneByteLongerThanTheFlashAndClosesTheJob) {
  EXPECT_EQ(Flash(DemoFile(1048576 - 257 + 1), kDataTypeDemoPrintData), ToolResult::kFailed);
  EXPECT_EQ(ui.messages, (std::vector<Message>{Shown("Write size over!", "Error")}));
  ASSERT_EQ(Frames().size(), 3U);
  EXPECT_EQ(Frames()[2], EndJobFrame(2));
  EXPECT_FALSE(printer->JobOpen());
  EXPECT_EQ(number, 2);
  EXPECT_TRUE(FlashUntouched());
}

// The largest flash a printer can report is 128 Mbit: a larger firmware or demo file is
// refused before the job opens instead of after its whole transfer.
TEST_F(FlashWrite, AFileLargerThanAnyFlashIsRefusedBeforeTheJob) {
  const auto file = DemoFile(10);
  fs::resize_file(file, 128U * 131072U + 1U);
  EXPECT_EQ(Flash(file, kDataTypeDemoPrintData), ToolResult::kFailedKeepOpen);
  EXPECT_EQ(ui.messages, (std::vector<Message>{Shown("Write size over!", "Error")}));
  EXPECT_TRUE(printer->Received().empty());
}

TEST_F(FlashWrite, CapacityCodesWithoutAFlashRefuseEveryFileAndTheLargestIs128Mbit) {
  for (const std::uint8_t code : {std::uint8_t{0x00}, std::uint8_t{0x90}}) {
    AttachPrinter({.flashSizeCode = code});
    ui.messages.clear();
    EXPECT_EQ(Flash(DemoFile(10), kDataTypeDemoPrintData), ToolResult::kFailed);
    EXPECT_EQ(ui.messages, (std::vector<Message>{Shown("Write size over!", "Error")})) << int{code};
  }
  AttachPrinter({.flashSizeCode = 0x8F});
  ui.messages.clear();
  ui.answer = false;
  Flash(DemoFile(10), kDataTypeDemoPrintData);
  EXPECT_EQ(ui.messages, (std::vector<Message>{Confirmation(128)}));
}

TEST_F(FlashWrite, DecliningTheConfirmationClosesTheJobWithoutWriting) {
  ui.answer = false;
  EXPECT_EQ(Flash(DemoFile(100), kDataTypeDemoPrintData), ToolResult::kFailed);
  ASSERT_EQ(Frames().size(), 3U);
  EXPECT_EQ(Frames()[2], EndJobFrame(2));
  EXPECT_FALSE(printer->JobOpen());
  EXPECT_EQ(display.runs, 0);
  EXPECT_TRUE(FlashUntouched());
}

TEST_F(FlashWrite, EveryPrinterErrorCodeEndsTheDisplayAndTheJobIsClosed) {
  const std::vector<std::pair<std::uint8_t, std::string>> codes = {
      {0x02, "Header Error!"}, {0x03, "Size Error!"},     {0x04, "Sum Error!"},
      {0x05, "Verify Error!"}, {0x06, "Size Over Error"}, {0x07, "Record Error!"},
      {0x2A, "Code: 2a"}};
  for (const auto& [code, text] : codes) {
    AttachPrinter({.failStatus = code, .progressStep = 25});
    ui.messages.clear();
    EXPECT_EQ(Flash(DemoFile(100), kDataTypeDemoPrintData), ToolResult::kFailed);
    EXPECT_EQ(ui.messages, (std::vector<Message>{Confirmation(8), Shown(text, "Error")}));
    EXPECT_EQ(display.end.bars, (ProgressBars{100, 0, 0}));
    ASSERT_EQ(Frames().size(), 4U);
    EXPECT_EQ(Frames()[3], EndJobFrame(3));
  }
}

TEST_F(FlashWrite, AStalledPrinterTimesOutAfter3000TicksAndTheJobIsClosed) {
  AttachPrinter({.stall = true});
  EXPECT_EQ(Flash(DemoFile(100), kDataTypeDemoPrintData), ToolResult::kFailed);
  EXPECT_EQ(display.ticks, 3000U);
  EXPECT_EQ(ui.messages,
            (std::vector<Message>{Confirmation(8), Shown("Fail to write", "Timeout Error")}));
  EXPECT_EQ(Frames().back(), EndJobFrame(3));
  EXPECT_TRUE(FlashUntouched());
}

TEST_F(FlashWrite, AFailingStatusReadWaitsForCancelAndTheJobIsClosed) {
  AttachPrinter({.readsBeforeSilence = 3});  // Start Job, capacity, one status
  EXPECT_EQ(Flash(DemoFile(100), kDataTypeDemoPrintData), ToolResult::kFailed);
  EXPECT_EQ(display.end.outcome, PollOutcome::kReadFailed);
  EXPECT_EQ(ui.messages, (std::vector<Message>{Confirmation(8), Shown("Fail to read!", "Error")}));
  EXPECT_EQ(Frames().back(), EndJobFrame(3));
}

TEST_F(FlashWrite, FailuresBeforeTheTransferCloseTheDialogWithoutEndJob) {
  AttachPrinter({.readsBeforeSilence = 0});
  EXPECT_EQ(Flash(DemoFile(10), kDataTypeDemoPrintData), ToolResult::kFailed);
  EXPECT_EQ(ui.messages, (std::vector<Message>{Shown("Fail to read!", "Error")}));
  EXPECT_EQ(Frames().size(), 1U);
  EXPECT_EQ(number, 0);

  // A printer that says nothing, or too little to reach the answer, has accepted nothing.
  for (const std::size_t replyBytes : {std::size_t{0}, std::size_t{2}}) {
    AttachPrinter();
    device->replyLimit = replyBytes;
    ui.messages.clear();
    EXPECT_EQ(Flash(DemoFile(10), kDataTypeDemoPrintData), ToolResult::kFailed);
    EXPECT_EQ(ui.messages, (std::vector<Message>{Shown("Fail to read!", "Error")}));
    EXPECT_EQ(printer->Received().size(), 9U) << replyBytes;
  }

  AttachPrinter({.acceptJob = false});
  ui.messages.clear();
  EXPECT_EQ(Flash(DemoFile(10), kDataTypeDemoPrintData), ToolResult::kFailed);
  EXPECT_EQ(ui.messages, (std::vector<Message>{Shown("Job not accepted!", "Error")}));
  EXPECT_EQ(Frames().size(), 1U);

  AttachPrinter();
  device->failWrite = 1;
  ui.messages.clear();
  EXPECT_EQ(Flash(DemoFile(10), kDataTypeDemoPrintData), ToolResult::kFailed);
  EXPECT_EQ(ui.messages, (std::vector<Message>{kTransmissionFailure}));
  EXPECT_TRUE(printer->Received().empty());

  // Part of Start Job reached the printer, which takes the next job's bytes as its rest.
  AttachPrinter();
  device->cutWrite = 1;
  ui.messages.clear();
  EXPECT_EQ(Flash(DemoFile(10), kDataTypeDemoPrintData), ToolResult::kFailed);
  EXPECT_EQ(ui.messages, (std::vector<Message>{kTransmissionFailure,
                                               Shown(std::string(zarnik::text::kStartJobCutShort),
                                                     "Tessik Error Message")}));
}

TEST_F(FlashWrite, AnUnsentDownloadFirmwareClosesTheJobInsteadOfWritingNothing) {
  device->failWrite = 2;
  EXPECT_EQ(Flash(DemoFile(100), kDataTypeDemoPrintData), ToolResult::kFailed);
  EXPECT_EQ(ui.messages, (std::vector<Message>{kTransmissionFailure}));
  ASSERT_EQ(Frames().size(), 2U);
  EXPECT_EQ(Frames()[1], EndJobFrame(2));  // the failed frame used number 1
  EXPECT_FALSE(printer->JobOpen());
  EXPECT_EQ(display.runs, 0);
  EXPECT_EQ(number, 2);
}

TEST_F(FlashWrite, EveryStopAfterTheJobWasAcceptedSendsEndJob) {
  // A stop asked once the Download Firmware frame has gone: the printer takes the data stream
  // first, or it would take End Job as data.
  JobControl afterFrame;
  device->hookAfterWrite = 2;
  device->hook = [&] { afterFrame.RequestStop(); };
  EXPECT_EQ(WriteDataFlashRom({DemoFile(100), kDataTypeDemoPrintData, 0xFF, lpt}, number, ui,
                              display, afterFrame),
            ToolResult::kFailed);
  EXPECT_EQ(printer->LastStreamSize(), 358U);
  EXPECT_FALSE(printer->JobOpen());
  EXPECT_EQ(afterFrame.Stage(), JobStage::kClosed);

  // The capacity reply brought no bytes.
  AttachPrinter();
  device->answeredReads = 1;
  ui.messages.clear();
  EXPECT_EQ(Flash(DemoFile(100), kDataTypeDemoPrintData), ToolResult::kFailed);
  EXPECT_EQ(ui.messages, (std::vector<Message>{Shown("Fail to read!", "Error")}));
  EXPECT_EQ(Frames().back(), EndJobFrame(2));
  EXPECT_FALSE(printer->JobOpen());

  // A stop asked from outside once the data stream has gone: no flash write.
  AttachPrinter();
  JobControl control;
  device->hookAfterWrite = 3;
  device->hook = [&] { control.RequestStop(); };
  ui.messages.clear();
  EXPECT_EQ(WriteDataFlashRom({DemoFile(100), kDataTypeDemoPrintData, 0xFF, lpt}, number, ui,
                              display, control),
            ToolResult::kFailed);
  EXPECT_TRUE(ui.messages.empty());
  ASSERT_EQ(Frames().size(), 3U);
  EXPECT_EQ(Frames()[2], EndJobFrame(2));
  EXPECT_EQ(control.Stage(), JobStage::kClosed);
  EXPECT_TRUE(FlashUntouched());

  // End Job itself cannot go: the job is said to be left open.
  AttachPrinter({.writesBeforeFailure = 2});
  ui.messages.clear();
  EXPECT_EQ(Flash(DemoFile(100), kDataTypeDemoPrintData), ToolResult::kFailed);
  EXPECT_EQ(ui.messages, (std::vector<Message>{kTransmissionFailure,
                                               Shown(std::string(zarnik::text::kJobLeftOpen),
                                                     "Tessik Error Message")}));
}

// After a data stream that did not go whole, or a frame cut short, the printer takes what
// comes next as the rest: End Job would not close the job, so none is sent and the job is said
// to be left open.
TEST_F(FlashWrite, AStreamOrFrameCutShortLeavesTheJobOpenAndSaysSo) {
  const Message leftOpen = Shown(std::string(zarnik::text::kJobLeftOpen), "Tessik Error Message");
  const auto flash = [&](int failWrite, int cutWrite, int cutCountedWrite = -1) {
    AttachPrinter();
    device->failWrite = failWrite;
    device->cutWrite = cutWrite;
    device->cutCountedWrite = cutCountedWrite;
    ui.messages.clear();
    JobControl control;
    EXPECT_EQ(WriteDataFlashRom({DemoFile(100), kDataTypeDemoPrintData, 0xFF, lpt}, number, ui,
                                display, control),
              ToolResult::kFailed);
    EXPECT_NE(control.Stage(), JobStage::kClosed);
  };
  flash(3, -1);  // the stream did not go at all
  EXPECT_EQ(ui.messages, (std::vector<Message>{kTransmissionFailure, leftOpen}));
  EXPECT_EQ(Frames().size(), 2U);  // Start Job and Download Firmware only
  EXPECT_EQ(number, 1);

  flash(-1, 2);  // half of Download Firmware
  EXPECT_EQ(ui.messages, (std::vector<Message>{kTransmissionFailure, leftOpen}));
  EXPECT_EQ(printer->ReceivedCount(), 9U + 9U);

  // Half of Execute Flash Write: the rest may still come, so it is polled. A failed write
  // that counted every byte may have brought only part of them too.
  for (const auto& [cut, cutCounted] : {std::pair{4, -1}, std::pair{-1, 4}}) {
    flash(-1, cut, cutCounted);
    EXPECT_EQ(ui.messages,
              (std::vector<Message>{Confirmation(8), kTransmissionFailure,
                                    Shown("Fail to write", "Timeout Error"), leftOpen}));
    EXPECT_TRUE(FlashUntouched());
  }
}

TEST_F(FlashWrite, AnUnsentExecuteFlashWriteStillPollsToTheTimeOutAndClosesTheJob) {
  device->failWrite = 4;
  EXPECT_EQ(Flash(DemoFile(100), kDataTypeDemoPrintData), ToolResult::kFailed);
  EXPECT_EQ(ui.messages, (std::vector<Message>{Confirmation(8), kTransmissionFailure,
                                               Shown("Fail to write", "Timeout Error")}));
  EXPECT_EQ(display.ticks, 3000U);  // a printer that sends nothing: every read brings 0 bytes
  EXPECT_EQ(Frames().back(), EndJobFrame(3));
  EXPECT_TRUE(FlashUntouched());
}

TEST_F(FlashWrite, AnUnsentEndJobIsReportedAfterTheWrite) {
  device->failWrite = 5;
  const Bytes payload = CountingPayload(100);
  EXPECT_EQ(Flash(WriteFile("demo.vop", MakeDataFile(0x40, payload)), kDataTypeDemoPrintData),
            ToolResult::kFailed);
  EXPECT_EQ(ui.messages, (std::vector<Message>{Confirmation(8), kComplete, kTransmissionFailure}));
  EXPECT_TRUE(FlashHolds(payload));
  EXPECT_EQ(number, 3);
}

// The file is read and checked before the job opens, and the bytes checked are those sent,
// whatever happens to the file meanwhile.
TEST_F(FlashWrite, TheBytesSentAreTheBytesChecked) {
  const Bytes payload = CountingPayload(100);
  const auto file = WriteFile("demo.vop", MakeDataFile(0x40, payload));
  device->hookAfterWrite = 1;
  device->hook = [&] { std::ofstream(file, std::ios::app) << "more"; };
  EXPECT_EQ(Flash(file, kDataTypeDemoPrintData), ToolResult::kSucceeded);
  EXPECT_EQ(printer->LastStreamSize(), 357U + 1U);
  EXPECT_TRUE(FlashHolds(payload));
}

// Another program rewrites the file's header while the flash write reads it: the type that
// was tested is the type of the data sent. The two versions have the same sum.
TEST_F(FlashWrite, AHeaderRewrittenWhileTheFileIsReadIsTestedAsSent) {
  const Bytes demo = MakeDataFile(0x40, CountingPayload(100));
  Bytes firmware = demo;
  firmware[4] = 0x00;
  firmware[14] = 0x40;
  const auto file = WriteFile("demo.vop", demo);
  const int descriptor = ::open(file.c_str(), O_WRONLY);
  ASSERT_GE(descriptor, 0);
  std::atomic<bool> done = false;
  std::thread rewriter([&] {
    for (bool flip = false; !done; flip = !flip) {
      ASSERT_EQ(::pwrite(descriptor, (flip ? firmware : demo).data() + 4, 11, 4), 11);
    }
  });
  ui.answer = false;
  int firmwareSent = 0;
  for (int run = 0; run < 200; ++run) {
    AttachPrinter();
    Flash(file, kDataTypeDemoPrintData);
    firmwareSent += printer->Received().size() > 28 + 4 && printer->Received()[28 + 4] == 0x00;
  }
  done = true;
  rewriter.join();
  ::close(descriptor);
  EXPECT_EQ(firmwareSent, 0);
}

// File checks happen before any port is touched, so they run on every build.
class FlashWriteFileChecks : public OnSimulatedMachine {
 protected:
  void SetUp() override {
    OnSimulatedMachine::SetUp();
    AttachPrinter();
  }
  ToolResult Flash(const fs::path& file, int dataType) {
    return WriteDataFlashRom({file, dataType, 0xFF, lpt}, number, ui, display);
  }
  std::uint8_t number = 0x55;
};

TEST_F(FlashWriteFileChecks, RefuseTheFileAndKeepTheDialogOpen) {
  Bytes wrongSignature = MakeDataFile(0x40, CountingPayload(10));
  wrongSignature[2] = 'X';
  Bytes demoWithBadSignature = wrongSignature;
  // A FIFO with no writer would hold the open for ever.
  ASSERT_EQ(::mkfifo(FilePath("fifo.vop").c_str(), 0600), 0);
  const std::vector<std::tuple<fs::path, int, std::string>> cases = {
      {FilePath("missing.vop"), 2, "Cannot open file!"},
      {FilePath(""), 0, "Cannot open file!"},
      {FilePath("fifo.vop"), 2, "Cannot open file!"},
      {WriteFile("demo.vop", MakeDataFile(0x40, {})), 1, "Not firmware data !"},
      {WriteFile("demo.vop", MakeDataFile(0x40, {})), 0, "Not firmware data !"},
      {WriteFile("flags.vop", MakeDataFile(0x41, {})), 2, "Not demo print data !"},
      {WriteFile("fw.vop", MakeDataFile(0x00, {})), 2, "Not demo print data !"},
      // the type is tested before the signature
      {WriteFile("bad.vop", demoWithBadSignature), 1, "Not firmware data !"},
      {WriteFile("bad.vop", wrongSignature), 2, "File format error"},
      {WriteFile("tiny.vop", Hex("56 44")), 0, "File format error"}};
  for (const auto& [file, dataType, text] : cases) {
    ui.messages.clear();
    EXPECT_EQ(Flash(file, dataType), ToolResult::kFailedKeepOpen) << text;
    EXPECT_EQ(ui.messages, (std::vector<Message>{Shown(text, "Error")}));
  }
  EXPECT_TRUE(printer->Received().empty());
  EXPECT_EQ(number, 0x55);
}

// The file port exists in every build: the job's first frame reaches the capture file, and
// since that port never delivers a reply the procedure stops at the first read.
TEST_F(FlashWriteFileChecks, OnTheFilePortStopsAtTheFirstReply) {
  const PortTarget capture{0, 0, FilePath("capture.prn").string()};
  const auto file = WriteFile("demo.vop", MakeDataFile(0x40, CountingPayload(10)));
  EXPECT_EQ(WriteDataFlashRom({file, kDataTypeDemoPrintData, 0x34, capture}, number, ui, display),
            ToolResult::kFailed);
  EXPECT_EQ(ReadAll(FilePath("capture.prn")), Hex("1B 40 00 02 00 BF 34 10 60"));
  EXPECT_EQ(ui.messages, (std::vector<Message>{Shown("Fail to read!", "Error")}));
  EXPECT_EQ(number, 0);
}

}  // namespace
}  // namespace flashjobs::test
