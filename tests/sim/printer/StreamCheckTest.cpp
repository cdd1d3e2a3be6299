// The data stream after Download Firmware: what the printer takes, checks and reports.
#include <gtest/gtest.h>

#include <algorithm>

#include "PrinterTestSupport.h"

namespace sim::test {
namespace {

// Opens a job, announces `announced` bytes, sends `stream`, and returns the capacity reply.
Reply Transfer(VirtualPrinter& printer, std::uint32_t announced, const Bytes& stream) {
  Send(printer, StartJob(0));
  ReadReply(printer);
  Send(printer, DownloadFirmware(1, announced));
  Send(printer, stream);
  return ReadReply(printer);
}

// Starts the flash write and returns the first status byte.
std::uint8_t FirstStatus(VirtualPrinter& printer, std::uint32_t length) {
  Send(printer, ExecuteFlashWrite(2, length));
  return ReadReply(printer).bytes[23];
}

std::uint8_t Verdict(const Bytes& stream, std::uint32_t announced, std::uint32_t length,
                     PrinterConfig config = {}) {
  VirtualPrinter printer(std::move(config));
  Transfer(printer, announced, stream);
  return FirstStatus(printer, length);
}

TEST(PrinterStream, TakesTheAnnouncedBytesAndAnswersWithTheFlashSizeCode) {
  VirtualPrinter printer(PrinterConfig{.flashSizeCode = 0x37});
  const Bytes file = DataFile(Payload(0x1234));
  const Reply capacity =
      Transfer(printer, static_cast<std::uint32_t>(file.size() + 1), Stream(file));
  EXPECT_TRUE(capacity.ok);
  EXPECT_EQ(capacity.bytes[10], 0x37);
  EXPECT_EQ(printer.LastStreamSize(), file.size() + 1);
  EXPECT_EQ(FirstStatus(printer, static_cast<std::uint32_t>(file.size())), 0x80);
  EXPECT_TRUE(printer.Faults().empty());
}

TEST(PrinterStream, ReportsEachFailedCheckInsteadOfErasing) {
  const Bytes file = DataFile(Payload(300));
  const auto size = static_cast<std::uint32_t>(file.size());

  Bytes badSignature = file;
  badSignature[3] = '2';
  badSignature.back() = Sum(Bytes(badSignature.begin(), badSignature.end() - 1));
  EXPECT_EQ(Verdict(Stream(badSignature), size + 1, size), 0x02);

  Bytes badFileSum = file;
  badFileSum.back() ^= 0x55;
  EXPECT_EQ(Verdict(Stream(badFileSum), size + 1, size), 0x04);

  Bytes badTrailer = Stream(file);
  badTrailer.back() ^= 0x01;
  EXPECT_EQ(Verdict(badTrailer, size + 1, size), 0x04);

  // The header claims more payload than arrived.
  Bytes truncated(file.begin(), file.end() - 10);
  EXPECT_EQ(Verdict(Stream(truncated), size - 9, size - 10), 0x03);

  // Execute Flash Write names another length than the file's.
  EXPECT_EQ(Verdict(Stream(file), size + 1, size - 1), 0x03);

  // 8 Mbit holds 1048576 bytes; a file one byte longer is over.
  const Bytes big = DataFile(Payload(1048576 - 257 + 1));
  const auto bigSize = static_cast<std::uint32_t>(big.size());
  EXPECT_EQ(Verdict(Stream(big), bigSize + 1, bigSize), 0x06);
  EXPECT_EQ(Verdict(Stream(file), size + 1, size, PrinterConfig{.flashSizeCode = 0x90}), 0x06);
}

TEST(PrinterStream, KeepsFileBytesAfterTheFileSumInTheTrailingSum) {
  Bytes file = DataFile(Payload(10));
  file.push_back(0x77);
  file.push_back(0x88);
  const auto size = static_cast<std::uint32_t>(file.size());
  EXPECT_EQ(Verdict(Stream(file), size + 1, size), 0x80);
}

TEST(PrinterStream, RefusesAShortAnnouncementAndFindsTheFramesAfterTheFile) {
  // A 256-byte file is announced as 1 byte while 257 bytes follow.
  Bytes file(256, 0);
  file[0] = 'V';
  file[1] = 'D';
  file[2] = 'L';
  file[4] = 0x40;
  file[100] = 0x1B;  // a lead byte inside the data must not derail the reader
  VirtualPrinter printer;
  const Reply capacity = Transfer(printer, 1, Stream(file));
  EXPECT_EQ(capacity.bytes[10], 0x40);
  EXPECT_EQ(FirstStatus(printer, 256), 0x03);
  Send(printer, EndJob(3));
  EXPECT_FALSE(printer.JobOpen());
  EXPECT_TRUE(printer.Faults().empty());
  EXPECT_EQ(printer.Frames().size(), 4U);
  EXPECT_TRUE(std::all_of(printer.Flash().begin(), printer.Flash().end(),
                          [](std::uint8_t b) { return b == 0xFF; }));
}

TEST(PrinterStream, WithoutADataStreamRefusesToWrite) {
  VirtualPrinter printer;
  Send(printer, StartJob(0));
  ReadReply(printer);
  EXPECT_EQ(FirstStatus(printer, 4917), 0x03);
}

TEST(PrinterStream, DoesNotKeepAStreamTooLargeForItsFlashButStillConsumesIt) {
  VirtualPrinter printer(PrinterConfig{.flashSizeCode = 0x10});  // 1 Mbit
  const Bytes file = DataFile(Payload(131072));
  const auto size = static_cast<std::uint32_t>(file.size());
  Transfer(printer, size + 1, Stream(file));
  EXPECT_EQ(printer.LastStreamSize(), file.size() + 1);
  EXPECT_EQ(FirstStatus(printer, size), 0x06);
  EXPECT_TRUE(printer.Faults().empty());
}

// A whole job in any split of writes: frames cut anywhere, the stream starting and ending
// inside a write. The printer keeps only a bounded record of what it received.
TEST(PrinterStream, TakesAJobCutIntoPiecesOfAnySizeAndWritesItsPayload) {
  const Bytes payload = Payload(5000);
  const Bytes file = DataFile(payload);
  const auto size = static_cast<std::uint32_t>(file.size());
  Bytes job = StartJob(0);
  for (const Bytes& part :
       {DownloadFirmware(1, size + 1), Stream(file), ExecuteFlashWrite(2, size), EndJob(3)}) {
    job.insert(job.end(), part.begin(), part.end());
  }
  for (const std::size_t piece : {1U, 7U, 19U, 20U, 4096U, 100000U}) {
    VirtualPrinter printer(PrinterConfig{.receivedRecordLimit = 100});
    for (std::size_t at = 0; at < job.size(); at += piece) {
      Send(printer,
           Bytes(job.begin() + static_cast<std::ptrdiff_t>(at),
                 job.begin() + static_cast<std::ptrdiff_t>(std::min(at + piece, job.size()))));
    }
    EXPECT_TRUE(printer.Faults().empty()) << piece;
    EXPECT_EQ(printer.Frames().size(), 4U) << piece;
    EXPECT_EQ(printer.LastStreamSize(), file.size() + 1) << piece;
    EXPECT_TRUE(std::equal(payload.begin(), payload.end(), printer.Flash().begin())) << piece;
    EXPECT_EQ(Bytes(printer.Received().begin(), printer.Received().end()),
              Bytes(job.begin(), job.begin() + 100));
    EXPECT_EQ(printer.ReceivedCount(), job.size());
  }
}

}  // namespace
}  // namespace sim::test
