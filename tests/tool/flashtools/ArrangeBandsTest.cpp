#include <gtest/gtest.h>

#include "TestSupport.h"
#include "flashtools/BandArranger.h"
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

// Arranging input from the file in.prn into out.prn gives what arranging it in memory gives.
void ExpectArrangedAsInMemory(const Bytes& input, const TempDir& dir) {
  MemorySource memoryInput(input);
  MemorySink expected;
  ASSERT_TRUE(BandArranger().Run(memoryInput, expected).Succeeded());
  WriteFile(dir / "in.prn", input);
  RecordingUserInterface ui;
  ASSERT_EQ(ArrangeBands(dir / "in.prn", dir / "out.prn", ui), ToolResult::kSucceeded);
  EXPECT_EQ(ReadFile(dir / "out.prn"), expected.Bytes());
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

// Bands large enough for the system to copy them between the files, around one small enough
// to go through the program: the result must be the one arranging in memory gives.
TEST(ArrangeBandsTest, LargeBandsCopiedBetweenFilesGiveTheSameStream) {
  const Bytes input = StreamBuilder()
                          .StartJob()
                          .SetPageInformation(0x90, 6)
                          .SendBand(0, 40000, 3, 0x41)
                          .SendBand(0, 17, 1, 0x42)
                          .SendBand(0, 70001, 5, 0x43)
                          .SendBand(1, 20000, 2, 0x44)
                          .SendBand(1, 30000, 2, 0x45)
                          .SendBand(1, 5, 2, 0x46)
                          .EndPrintData()
                          .EndJob()
                          .bytes();
  TempDir dir;
  ExpectArrangedAsInMemory(input, dir);
  RecordingUserInterface ui;

  // The input ends five bytes into the large band's data.
  const Bytes cut(input.begin(), input.begin() + 9 + 35 + 15 + 40000 + 15 + 17 + 15 + 5);
  WriteFile(dir / "cut.prn", cut);
  EXPECT_EQ(ArrangeBands(dir / "cut.prn", dir / "cut-out.prn", ui), ToolResult::kFailed);
  EXPECT_EQ(ui.messages.back().text,
            "The band data of the Send Band at byte 40091 runs past the end of the input.");
  EXPECT_FALSE(std::filesystem::exists(dir / "cut-out.prn"));
}

// A stream of several megabytes goes to the file in many buffers, each written while the next
// one fills: the result must be the one arranging in memory gives.
TEST(ArrangeBandsTest, AManyMegabyteStreamComesOutAsInMemory) {
  StreamBuilder builder;
  builder.StartJob().SetPageInformation(0x90, 12);
  for (std::uint8_t band = 0; band < 12; ++band) {
    builder.SendBand(band / 6, 300001, 3, static_cast<std::uint8_t>(0x41 + band));
  }
  const Bytes input = builder.EndPrintData().EndJob().bytes();
  TempDir dir;
  ExpectArrangedAsInMemory(input, dir);
}

}  // namespace
}  // namespace flashtools::test
