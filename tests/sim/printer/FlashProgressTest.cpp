// Erase, write and verify over successive status reads, the flash image, and the switches
// that make the write fail or stall.
#include <gtest/gtest.h>

#include <algorithm>

#include "PrinterTestSupport.h"

namespace sim::test {
namespace {

class FlashRun {
 public:
  explicit FlashRun(PrinterConfig config, std::size_t payloadSize = 1000)
      : printer(std::move(config)), payload(Payload(payloadSize)) {
    const Bytes file = DataFile(payload);
    Send(printer, StartJob(0));
    ReadReply(printer);
    Send(printer, DownloadFirmware(1, static_cast<std::uint32_t>(file.size() + 1)));
    Send(printer, Stream(file));
    ReadReply(printer);
    Send(printer, ExecuteFlashWrite(2, static_cast<std::uint32_t>(file.size())));
  }

  std::vector<std::uint8_t> Statuses(int reads) {
    std::vector<std::uint8_t> statuses;
    statuses.reserve(static_cast<std::size_t>(reads));
    for (int i = 0; i < reads; ++i) {
      statuses.push_back(ReadReply(printer).bytes[23]);
    }
    return statuses;
  }

  bool FlashHoldsPayload() const {
    const auto flash = printer.Flash();
    return std::equal(payload.begin(), payload.end(), flash.begin()) &&
           std::all_of(flash.begin() + static_cast<std::ptrdiff_t>(payload.size()), flash.end(),
                       [](std::uint8_t b) { return b == 0xFF; });
  }

  bool FlashErased() const {
    return std::all_of(printer.Flash().begin(), printer.Flash().end(),
                       [](std::uint8_t b) { return b == 0xFF; });
  }

  VirtualPrinter printer;
  Bytes payload;
};

TEST(PrinterFlash, StepsThroughEraseWriteVerifyThenReportsFinished) {
  FlashRun run(PrinterConfig{.progressStep = 20});
  EXPECT_EQ(run.Statuses(11), (std::vector<std::uint8_t>{0x80, 0x94, 0xA8, 0xB2, 0x40, 0x54, 0x68,
                                                         0x72, 0xC0, 0xD4, 0xE8}));
  EXPECT_FALSE(run.FlashHoldsPayload() && run.FlashErased());
  EXPECT_EQ(run.Statuses(3), (std::vector<std::uint8_t>{0xF2, 0x01, 0x01}));
  EXPECT_TRUE(run.FlashHoldsPayload());
  EXPECT_EQ(run.printer.LastWriteMode(), 0x00020400U);
  Send(run.printer, EndJob(3));
  EXPECT_EQ(ReadReply(run.printer).count, 0U);  // nothing pending once the job is closed
}

TEST(PrinterFlash, TheSlowestSpeedStillEnds) {
  FlashRun run(PrinterConfig{.progressStep = 0});
  const auto statuses = run.Statuses(3 * 51 + 1);
  EXPECT_EQ(statuses[1], 0x81);
  EXPECT_EQ(statuses.back(), 0x01);
  EXPECT_TRUE(run.FlashHoldsPayload());
}

TEST(PrinterFlash, AFailStatusFollowsTheEraseAndLeavesTheFlashErased) {
  FlashRun run(PrinterConfig{.failStatus = 0x2A, .progressStep = 50});
  EXPECT_EQ(run.Statuses(4), (std::vector<std::uint8_t>{0x80, 0xB2, 0x2A, 0x2A}));
  Send(run.printer, EndJob(3));
  EXPECT_TRUE(run.FlashErased());
}

TEST(PrinterFlash, AStalledPrinterStopsHalfwayThroughTheEraseAndWritesNothing) {
  FlashRun run(PrinterConfig{.progressStep = 10, .stall = true});
  const auto statuses = run.Statuses(200);
  EXPECT_EQ(std::vector<std::uint8_t>(statuses.begin(), statuses.begin() + 4),
            (std::vector<std::uint8_t>{0x80, 0x8A, 0x94, 0x00}));
  EXPECT_TRUE(
      std::all_of(statuses.begin() + 3, statuses.end(), [](std::uint8_t s) { return s == 0; }));
  Send(run.printer, EndJob(3));
  EXPECT_TRUE(run.FlashErased());
  EXPECT_EQ(ReadReply(run.printer).count, 0U);
}

TEST(PrinterFlash, EndJobDuringTheWriteLetsThePrinterFinishOnItsOwn) {
  FlashRun run(PrinterConfig{.progressStep = 1});
  run.Statuses(3);
  Send(run.printer, EndJob(3));
  EXPECT_TRUE(run.FlashHoldsPayload());
  EXPECT_TRUE(run.printer.Faults().empty());
}

TEST(PrinterFlash, FlashSizeCodesMapToPowersOfTwoMegabits) {
  EXPECT_EQ(FlashBytesForCode(0x00), 0U);
  EXPECT_EQ(FlashBytesForCode(0x1F), 131072U);
  EXPECT_EQ(FlashBytesForCode(0x40), 1048576U);
  EXPECT_EQ(FlashBytesForCode(0x80), 16777216U);
  EXPECT_EQ(FlashBytesForCode(0x90), 0U);
  EXPECT_EQ(VirtualPrinter(PrinterConfig{.flashSizeCode = 0x20}).Flash().size(), 262144U);
}

}  // namespace
}  // namespace sim::test
