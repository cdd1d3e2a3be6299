#include <gtest/gtest.h>

#include <algorithm>

#include "TestSupport.h"
#include "flashtools/DataFileCheck.h"
#include "flashtools/DataFileHeader.h"
#include "flashtools/FileTools.h"
#include "protocol/FrameSum.h"

namespace flashtools::test {
namespace {

// A data file with a correct sum unless sum is given.
Bytes DataFile(const DataFileHeader& header, const Bytes& payload, int sum = -1) {
  const auto stored = SerialiseDataFileHeader(header);
  Bytes file(stored.size() + payload.size() + 1);
  std::copy(stored.begin(), stored.end(), file.begin());
  std::copy(payload.begin(), payload.end(), file.begin() + 256);
  file.back() =
      sum >= 0 ? static_cast<std::uint8_t>(sum) : protocol::FrameSum(file.data(), file.size() - 1);
  return file;
}

DataFileHeader Header(std::uint32_t payloadLength) {
  return HeaderForAddedPayload(payloadLength);
}

struct Checked {
  ToolResult result;
  std::vector<Message> messages;
};

Checked Check(const Bytes& file) {
  MemorySource source(file);
  RecordingUserInterface ui;
  const ToolResult result = RunDataFileCheck(source, ui);
  return {result, ui.messages};
}

void ExpectOneMessage(const Checked& checked, ToolResult result, const std::string& text,
                      const std::string& caption) {
  EXPECT_EQ(checked.result, result);
  ASSERT_EQ(checked.messages.size(), 1U);
  EXPECT_EQ(checked.messages[0].text, text);
  EXPECT_EQ(checked.messages[0].caption, caption);
  EXPECT_EQ(checked.messages[0].icon, MessageIcon::kNone);
}

TEST(CheckFileFormatTest, ReportsAGoodFileMadeByHeaderAddition) {
  ExpectOneMessage(Check(DataFile(Header(0x1234), Bytes(0x1234, 0x5C))), ToolResult::kSucceeded,
                   "Demo print data check:\n82: 20-02 00001234 100\nSum check: OK\n", "Result");
}

TEST(CheckFileFormatTest, PrintsFieldsAsUnsignedHexAndSignedLoadParameter) {
  DataFileHeader header = Header(0);
  header.TypeFlags = 0x00;
  header.TargetCode = 0xFE;
  header.Ident1 = 0x9A;
  header.Ident2 = 0x0B;
  header.LoadParameter = 0xFFFFFFFF;
  ExpectOneMessage(Check(DataFile(header, {})), ToolResult::kSucceeded,
                   "Firmware data check:\nfe: 9a-0b 00000000 -1\nSum check: OK\n", "Result");
}

TEST(CheckFileFormatTest, OnlyBitSixOfTheTypeCounts) {
  for (const std::uint8_t flags : Bytes{0xC0, 0x41}) {
    DataFileHeader header = Header(1);
    header.TypeFlags = flags;
    const Checked checked = Check(DataFile(header, {7}));
    ASSERT_EQ(checked.messages.size(), 1U);
    EXPECT_EQ(checked.messages[0].text.rfind("Demo print data check:\n", 0), 0U);
  }
}

TEST(CheckFileFormatTest, IgnoresBytesAfterTheSum) {
  Bytes file = DataFile(Header(3), {1, 2, 3});
  file.insert(file.end(), {9, 9, 9});
  EXPECT_EQ(Check(file).result, ToolResult::kSucceeded);
}

TEST(CheckFileFormatTest, ShowsTheComputedSumOnASumError) {
  DataFileHeader header;
  header.Signature = kDataFileSignature;
  header.PayloadLength = 1;
  ExpectOneMessage(Check(DataFile(header, {0x10}, 0x00)), ToolResult::kFailed, "Sum error（28）",
                   "Error");
}

TEST(CheckFileFormatTest, RefusesAnyOtherSignature) {
  DataFileHeader header = Header(0);
  header.Signature = {'V', 'D', 'L', '2'};
  ExpectOneMessage(Check(DataFile(header, {})), ToolResult::kFailed, "File format error", "Error");
}

TEST(CheckFileFormatTest, RefusesFilesShorterThanTheirContents) {
  ExpectOneMessage(Check(Bytes(255, 0x56)), ToolResult::kFailed,
                   "File too short: 255 bytes, but a data file has a 256-byte header and a sum "
                   "byte.",
                   "Error");
  ExpectOneMessage(Check({}), ToolResult::kFailed,
                   "File too short: 0 bytes, but a data file has a 256-byte header and a sum "
                   "byte.",
                   "Error");

  Bytes missingSum = DataFile(Header(0), {});
  missingSum.pop_back();
  ExpectOneMessage(Check(missingSum), ToolResult::kFailed,
                   "File too short: the header announces 0 payload bytes, so the file needs 257 "
                   "bytes, but it holds 256.",
                   "Error");

  // A header announcing 4 GiB - 1 on a small file: reported, nothing read past the end.
  Bytes huge = DataFile(Header(0xFFFFFFFF), Bytes(10, 0));
  ExpectOneMessage(Check(huge), ToolResult::kFailed,
                   "File too short: the header announces 4294967295 payload bytes, so the file "
                   "needs 4294967552 bytes, but it holds 267.",
                   "Error");
}

TEST(CheckFileFormatTest, ChecksFilesOnDiskAndReportsAMissingOne) {
  TempDir dir;
  WriteFile(dir / "good.vop", DataFile(Header(2), {1, 2}));
  RecordingUserInterface ui;
  EXPECT_EQ(CheckFileFormat(dir / "good.vop", ui), ToolResult::kSucceeded);
  EXPECT_EQ(CheckFileFormat(dir / "missing.vop", ui), ToolResult::kFailed);
  ASSERT_EQ(ui.messages.size(), 2U);
  EXPECT_EQ(ui.messages[1].text, "Cannot find " + (dir / "missing.vop").string());
  EXPECT_EQ(ui.messages[1].caption, "Error");
}

}  // namespace
}  // namespace flashtools::test
