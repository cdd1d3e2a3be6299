#include <gtest/gtest.h>

#include "TestSupport.h"
#include "flashtools/FileTools.h"

namespace flashtools::test {
namespace {

Bytes GoodStream() {
  return StreamBuilder()
      .StartJob()
      .SetPageInformation(0x80, 2)
      .SendBand(0, 3, 1, 0x41)
      .SendBand(0, 2, 1, 0x42)
      .EndPrintData()
      .EndJob()
      .bytes();
}

TEST(ArrangeBandsTest, WritesTheArrangedStreamAndSaysSo) {
  TempDir dir;
  WriteFile(dir / "in.prn", GoodStream());
  RecordingUserInterface ui;
  EXPECT_EQ(ArrangeBands(dir / "in.prn", dir / "out.prn", ui), ToolResult::kSucceeded);
  ASSERT_EQ(ui.messages.size(), 1U);
  EXPECT_EQ(ui.messages[0].text, "The creating of a file completed.");
  EXPECT_EQ(ui.messages[0].caption, " ");
  EXPECT_EQ(SplitFrames(ReadFile(dir / "out.prn")).size(), 5U);
  EXPECT_EQ(ReadFile(dir / "in.prn"), GoodStream());
}

TEST(ArrangeBandsTest, ArrangesAStreamInPlace) {
  TempDir dir;
  WriteFile(dir / "same.prn", GoodStream());
  WriteFile(dir / "other.prn", GoodStream());
  RecordingUserInterface ui;
  EXPECT_EQ(ArrangeBands(dir / "same.prn", dir / "same.prn", ui), ToolResult::kSucceeded);
  EXPECT_EQ(ArrangeBands(dir / "other.prn", dir / "expected.prn", ui), ToolResult::kSucceeded);
  EXPECT_EQ(ReadFile(dir / "same.prn"), ReadFile(dir / "expected.prn"));
}

TEST(ArrangeBandsTest, ARefusedStreamLeavesNoOutputAndNoClaimOfCompletion) {
  TempDir dir;
  Bytes cut = GoodStream();
  cut.resize(cut.size() - 17);  // one byte into the second band's two bytes of data
  WriteFile(dir / "cut.prn", cut);
  WriteFile(dir / "old.prn", {0x01, 0x02});
  RecordingUserInterface ui;
  EXPECT_EQ(ArrangeBands(dir / "cut.prn", dir / "new.prn", ui), ToolResult::kFailed);
  EXPECT_EQ(ArrangeBands(dir / "cut.prn", dir / "old.prn", ui), ToolResult::kFailed);
  ASSERT_EQ(ui.messages.size(), 2U);
  for (const Message& message : ui.messages) {
    EXPECT_EQ(message.text,
              "The band data of the Send Band at byte 62 runs past the end of the input.");
    EXPECT_EQ(message.caption, "Error");
  }
  EXPECT_EQ(ReadFile(dir / "old.prn"), (Bytes{0x01, 0x02}));
  EXPECT_EQ(dir.Names(), (std::vector<std::string>{"cut.prn", "old.prn"}));
}

TEST(ArrangeBandsTest, KeepsTheDialogOpenWhenAFileCannotBeOpened) {
  TempDir dir;
  WriteFile(dir / "in.prn", GoodStream());
  RecordingUserInterface ui;
  EXPECT_EQ(ArrangeBands(dir / "missing.prn", dir / "out.prn", ui), ToolResult::kFailedKeepOpen);
  EXPECT_EQ(ArrangeBands(dir / "in.prn", dir / "no-folder" / "out.prn", ui),
            ToolResult::kFailedKeepOpen);
  ASSERT_EQ(ui.messages.size(), 2U);
  EXPECT_EQ(ui.messages[0].text, "Cannot open input file.");
  EXPECT_EQ(ui.messages[1].text, "Cannot output output file.");
  for (const Message& message : ui.messages) {
    EXPECT_EQ(message.caption, "Error");
    EXPECT_EQ(message.icon, MessageIcon::kExclamation);
  }
}

}  // namespace
}  // namespace flashtools::test
