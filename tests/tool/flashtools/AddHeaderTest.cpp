#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>

#include "TestSupport.h"
#include "flashtools/DataFileHeader.h"
#include "flashtools/FileTools.h"
#include "protocol/Frame.h"
#include "protocol/FrameSum.h"

namespace flashtools::test {
namespace {

const Message kCompleted{"The creating of a file completed.", " ", MessageIcon::kNone};

void ExpectMessages(const RecordingUserInterface& ui, const std::vector<Message>& expected) {
  ASSERT_EQ(ui.messages.size(), expected.size());
  for (std::size_t i = 0; i < expected.size(); ++i) {
    EXPECT_EQ(ui.messages[i].text, expected[i].text);
    EXPECT_EQ(ui.messages[i].caption, expected[i].caption);
    EXPECT_EQ(ui.messages[i].icon, expected[i].icon);
  }
}

TEST(AddHeaderTest, WrapsOneByteWithTheHeaderValuesAndSum) {
  TempDir dir;
  WriteFile(dir / "in", {0x10});
  RecordingUserInterface ui;
  EXPECT_EQ(AddHeader(dir / "in", dir / "out.vop", ui), ToolResult::kSucceeded);
  ExpectMessages(ui, {kCompleted});

  const Bytes out = ReadFile(dir / "out.vop");
  ASSERT_EQ(out.size(), 258U);
  Bytes expectedHeader(256, 0);
  const Bytes named{0x56, 0x44, 0x4C, 0x31, 0x40, 0x82, 0x01, 0,    0,   0,
                    0x64, 0,    0,    0,    0,    0,    0x20, 0x02, 0x91};
  std::copy(named.begin(), named.end(), expectedHeader.begin());
  EXPECT_EQ(Bytes(out.begin(), out.begin() + 256), expectedHeader);
  EXPECT_EQ(out[256], 0x10);
  EXPECT_EQ(out[257], 0x01);
}

TEST(AddHeaderTest, WrapsAnEmptyInputIntoAHeaderAndItsSum) {
  TempDir dir;
  WriteFile(dir / "empty", {});
  RecordingUserInterface ui;
  EXPECT_EQ(AddHeader(dir / "empty", dir / "out.vop", ui), ToolResult::kSucceeded);
  const Bytes out = ReadFile(dir / "out.vop");
  ASSERT_EQ(out.size(), 257U);
  EXPECT_EQ(protocol::LoadU32(&out[6]), 0U);
  EXPECT_EQ(out[256], protocol::FrameSum(out.data(), 256));
}

TEST(AddHeaderTest, ReplacesAFileByItsOwnDataFileAndWrapsAgain) {
  TempDir dir;
  const Bytes original{1, 2, 3, 4, 5};
  WriteFile(dir / "same", original);
  RecordingUserInterface ui;
  EXPECT_EQ(AddHeader(dir / "same", dir / "same", ui), ToolResult::kSucceeded);
  const Bytes once = ReadFile(dir / "same");
  ASSERT_EQ(once.size(), original.size() + 257);
  EXPECT_EQ(Bytes(once.begin() + 256, once.end() - 1), original);

  EXPECT_EQ(AddHeader(dir / "same", dir / "same", ui), ToolResult::kSucceeded);
  const Bytes twice = ReadFile(dir / "same");
  EXPECT_EQ(Bytes(twice.begin() + 256, twice.end() - 1), once);
  EXPECT_EQ(dir.Names(), std::vector<std::string>{"same"});

  // The result passes the check as demo print data.
  RecordingUserInterface checkUi;
  EXPECT_EQ(CheckFileFormat(dir / "same", checkUi), ToolResult::kSucceeded);
  ASSERT_EQ(checkUi.messages.size(), 1U);
  EXPECT_EQ(checkUi.messages[0].text,
            "Demo print data check:\n82: 20-02 00000106 100\nSum check: OK\n");
}

TEST(AddHeaderTest, LeavesTheOutputUntouchedWhenItFails) {
  TempDir dir;
  WriteFile(dir / "out.vop", {0xEE});
  RecordingUserInterface ui;
  EXPECT_EQ(AddHeader(dir / "missing", dir / "out.vop", ui), ToolResult::kFailed);
  ExpectMessages(ui, {{"Cannot find " + (dir / "missing").string(), "Error", MessageIcon::kNone}});
  EXPECT_EQ(ReadFile(dir / "out.vop"), Bytes{0xEE});

  RecordingUserInterface noFolderUi;
  WriteFile(dir / "in", {1});
  const auto nowhere = dir / "no-such-folder" / "out.vop";
  EXPECT_EQ(AddHeader(dir / "in", nowhere, noFolderUi), ToolResult::kFailed);
  ExpectMessages(noFolderUi, {{"Cannot find " + nowhere.string(), "Error", MessageIcon::kNone}});
  EXPECT_EQ(dir.Names(), (std::vector<std::string>{"in", "out.vop"}));
  RecordingUserInterface unnamedUi;
  EXPECT_EQ(AddHeader(dir / "in", "", unnamedUi), ToolResult::kFailed);
  ExpectMessages(unnamedUi, {{"Cannot find ", "Error", MessageIcon::kNone}});

  // A name at the system's limit is made all the same.
  const std::string longest = std::string(251, 'x') + ".vop";
  RecordingUserInterface longUi;
  EXPECT_EQ(AddHeader(dir / "in", dir / longest, longUi), ToolResult::kSucceeded);
  EXPECT_EQ(dir.Names(), (std::vector<std::string>{"in", "out.vop", longest}));
}

// Inputs long enough to be read in parts side by side, and many reads each.
TEST(AddHeaderTest, WrapsAndChecksALargeInputByteForByte) {
  TempDir dir;
  Bytes payload((std::size_t{3} << 20) + 123);
  for (std::size_t i = 0; i < payload.size(); ++i) {
    payload[i] = static_cast<std::uint8_t>(i * 7 % 251);
  }
  WriteFile(dir / "in", payload);
  RecordingUserInterface ui;
  ASSERT_EQ(AddHeader(dir / "in", dir / "out.vop", ui), ToolResult::kSucceeded);
  const Bytes out = ReadFile(dir / "out.vop");
  ASSERT_EQ(out.size(), payload.size() + 257);
  EXPECT_EQ(protocol::LoadU32(&out[6]), payload.size());
  EXPECT_TRUE(std::equal(payload.begin(), payload.end(), out.begin() + 256));
  EXPECT_EQ(out.back(), protocol::FrameSum(out.data(), out.size() - 1));

  EXPECT_EQ(CheckFileFormat(dir / "out.vop", ui), ToolResult::kSucceeded);
  std::filesystem::resize_file(dir / "out.vop", out.size() - 2);
  EXPECT_EQ(CheckFileFormat(dir / "out.vop", ui), ToolResult::kFailed);
  EXPECT_EQ(ui.messages.back().text,
            "File too short: the header announces 3145851 payload bytes, so the file needs "
            "3146108 bytes, but it holds 3146106.");
}

TEST(AddHeaderTest, RefusesAnInputKnownToBeTooLargeBeforeTouchingTheOutput) {
  TempDir dir;
  // A sparse file one byte over what PayloadLength can hold; the output's folder is missing,
  // so only a refusal that comes first names the size.
  std::ofstream(dir / "huge").put('x');
  std::filesystem::resize_file(dir / "huge", std::uint64_t{1} << 32);
  RecordingUserInterface ui;
  EXPECT_EQ(AddHeader(dir / "huge", dir / "missing" / "out.vop", ui), ToolResult::kFailed);
  ExpectMessages(ui, {{"The input holds 4294967296 bytes; a data file holds at most 4294967295.",
                       "Error", MessageIcon::kNone}});
}

}  // namespace
}  // namespace flashtools::test
