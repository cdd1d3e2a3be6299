#include "flashtools/BandArranger.h"

#include <gtest/gtest.h>

#include "TestSupport.h"
#include "protocol/CommandCodes.h"
#include "protocol/Frame.h"

namespace flashtools::test {
namespace {

namespace code = protocol::code;
using Kind = ArrangeOutcome::Kind;

struct Arranged {
  ArrangeOutcome outcome;
  Bytes output;
};

Arranged Arrange(const Bytes& input) {
  MemorySource source(input);
  MemorySink sink;
  Arranged arranged;
  arranged.outcome = BandArranger().Run(source, sink);
  arranged.output = sink.Bytes();
  return arranged;
}

std::vector<std::uint8_t> Codes(const std::vector<ReadFrame>& frames) {
  std::vector<std::uint8_t> codes;
  codes.reserve(frames.size());
  for (const ReadFrame& frame : frames) {
    codes.push_back(frame.code);
  }
  return codes;
}

std::vector<std::uint8_t> Numbers(const std::vector<ReadFrame>& frames) {
  std::vector<std::uint8_t> numbers;
  numbers.reserve(frames.size());
  for (const ReadFrame& frame : frames) {
    numbers.push_back(frame.number);
  }
  return numbers;
}

Bytes Concat(std::initializer_list<Bytes> parts) {
  Bytes all;
  for (const Bytes& part : parts) {
    all.insert(all.end(), part.begin(), part.end());
  }
  return all;
}

TEST(BandArrangerTest, MergesTwoBandsPerPlaneOnAFourPlanePage) {
  StreamBuilder stream;
  stream.StartJob().SetJobInformation().SetPageInformation(0xF0, 8);
  // Two bands per plane: plane codes 0..3, sizes and line counts differ per band.
  for (std::uint8_t band = 0; band < 8; ++band) {
    stream.SendBand(band / 2, 10U + band, static_cast<std::uint16_t>(100 + band),
                    static_cast<std::uint8_t>(0xA0 + band));
  }
  stream.EndPrintData().EndJob();

  const Arranged arranged = Arrange(stream.bytes());
  ASSERT_TRUE(arranged.outcome.Succeeded()) << DescribeArrangeFailure(arranged.outcome);
  const auto frames = SplitFrames(arranged.output);
  EXPECT_EQ(Codes(frames),
            (Bytes{code::kStartJob, code::kSetJobInformation, code::kSetPageInformation,
                   code::kSendBand, code::kSendBand, code::kSendBand, code::kSendBand,
                   code::kEndPrintData, code::kEndJob}));
  EXPECT_EQ(Numbers(frames), (Bytes{0, 1, 2, 3, 4, 5, 6, 7, 8}));
  for (const ReadFrame& frame : frames) {
    EXPECT_TRUE(frame.sumOk) << "frame " << int{frame.number};
  }

  const Bytes& page = frames[2].parameters;
  EXPECT_EQ(protocol::LoadU16(&page[10]), 4);  // frame bytes 16-17
  EXPECT_EQ(protocol::LoadU16(&page[12]), 4);  // frame bytes 18-19
  EXPECT_EQ(page[27], 0x5A);

  for (std::uint8_t plane = 0; plane < 4; ++plane) {
    const ReadFrame& band = frames[3 + plane];
    const unsigned first = 2U * plane;
    EXPECT_EQ(protocol::LoadU32(&band.parameters[0]), 10 + first + 10 + first + 1);
    EXPECT_EQ(band.parameters[4], plane);
    EXPECT_EQ(band.parameters[5], 0);
    EXPECT_EQ(protocol::LoadU16(&band.parameters[6]), 100 + first + 100 + first + 1);
    EXPECT_EQ(band.bandData, Concat({Bytes(10 + first, static_cast<std::uint8_t>(0xA0 + first)),
                                     Bytes(11 + first, static_cast<std::uint8_t>(0xA1 + first))}));
  }
}

TEST(BandArrangerTest, ArrangesSeveralPagesAndTwoJobs) {
  StreamBuilder stream;
  // Job 1: a one-plane page of three bands, then a two-plane page of four bands whose
  // group planes come from each group's first band.
  stream.StartJob(0).SetJobInformation().SetPageInformation(0x80, 3);
  stream.SendBand(0, 4, 1, 0x01).SendBand(0, 5, 2, 0x02).SendBand(0, 0, 3, 0x03);
  stream.EndPrintData().SetPageInformation(0x30, 4);
  stream.SendBand(2, 3, 1, 0x11).SendBand(7, 3, 1, 0x12).SendBand(1, 2, 1, 0x13);
  stream.SendBand(2, 2, 1, 0x14).EndPrintData().EndJob();
  // Job 2 keeps its own Start Job number; the frames after it go on from the counter.
  stream.StartJob(0x30).SetPageInformation(0x40, 2).SendBand(3, 1, 1, 0x21);
  stream.SendBand(3, 1, 1, 0x22).EndPrintData().EndJob();

  const Arranged arranged = Arrange(stream.bytes());
  ASSERT_TRUE(arranged.outcome.Succeeded()) << DescribeArrangeFailure(arranged.outcome);
  const auto frames = SplitFrames(arranged.output);
  EXPECT_EQ(
      Codes(frames),
      (Bytes{code::kStartJob, code::kSetJobInformation, code::kSetPageInformation, code::kSendBand,
             code::kEndPrintData, code::kSetPageInformation, code::kSendBand, code::kSendBand,
             code::kEndPrintData, code::kEndJob, code::kStartJob, code::kSetPageInformation,
             code::kSendBand, code::kEndPrintData, code::kEndJob}));
  EXPECT_EQ(Numbers(frames), (Bytes{0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 0x30, 10, 11, 12, 13}));

  EXPECT_EQ(frames[3].bandData, Concat({Bytes(4, 0x01), Bytes(5, 0x02)}));
  EXPECT_EQ(protocol::LoadU16(&frames[3].parameters[6]), 6);
  EXPECT_EQ(frames[6].parameters[4], 2);
  EXPECT_EQ(frames[6].bandData, Concat({Bytes(3, 0x11), Bytes(3, 0x12)}));
  EXPECT_EQ(frames[7].parameters[4], 1);
  EXPECT_EQ(protocol::LoadU16(&frames[11].parameters[10]), 1);
  EXPECT_EQ(frames[12].parameters[4], 3);
  EXPECT_EQ(protocol::LoadU32(&frames[12].parameters[0]), 2U);
}

TEST(BandArrangerTest, EndPrintDataKeepsItsNumberUntilABandWasHandled) {
  StreamBuilder stream;
  stream.StartJob().SetJobInformation().EndPrintData().EndJob();
  stream.StartJob().SetPageInformation(0x10, 1).SendBand(1, 1, 1, 0).EndPrintData().EndJob();
  const Arranged arranged = Arrange(stream.bytes());
  ASSERT_TRUE(arranged.outcome.Succeeded()) << DescribeArrangeFailure(arranged.outcome);
  // The first End Print Data keeps 2 and does not advance the counter, so End Job gets 2.
  EXPECT_EQ(Numbers(SplitFrames(arranged.output)), (Bytes{0, 1, 2, 2, 0, 3, 4, 5, 6}));
}

TEST(BandArrangerTest, KeepsTheRemainderGroupsWhenBandsDoNotDivideByPlanes) {
  StreamBuilder stream;
  stream.StartJob().SetPageInformation(0xF0, 6);
  for (std::uint8_t band = 0; band < 6; ++band) {
    stream.SendBand(band % 4, 1, 1, band);
  }
  stream.EndJob();
  const Arranged arranged = Arrange(stream.bytes());
  ASSERT_TRUE(arranged.outcome.Succeeded()) << DescribeArrangeFailure(arranged.outcome);
  // G = 6 / 4 = 1: every band stays a band of its own.
  EXPECT_EQ(SplitFrames(arranged.output).size(), 2U + 6U + 1U);
}

struct Refusal {
  const char* name;
  Bytes stream;
  Kind kind;
  std::uint64_t offset;
};

class BandArrangerRefusalTest : public testing::TestWithParam<Refusal> {};

TEST_P(BandArrangerRefusalTest, RefusesWithTheReasonAndWhere) {
  const Arranged arranged = Arrange(GetParam().stream);
  EXPECT_EQ(arranged.outcome.kind, GetParam().kind) << DescribeArrangeFailure(arranged.outcome);
  EXPECT_EQ(arranged.outcome.offset, GetParam().offset);
  EXPECT_FALSE(DescribeArrangeFailure(arranged.outcome).empty());
}

Bytes Page(std::uint8_t planes, std::uint16_t bands) {
  return StreamBuilder().StartJob().SetPageInformation(planes, bands).bytes();
}

// Offsets: Start Job 0..8, the next frame at 9, Set Page Information 9..43, then 44.
const std::size_t kAfterPage = 9 + 35;

INSTANTIATE_TEST_SUITE_P(
    Refusals, BandArrangerRefusalTest,
    testing::Values(
        Refusal{"FirstFrameNotStartJob", StreamBuilder().SetJobInformation().bytes(),
                Kind::kFrameSequence, 0},
        Refusal{"StrayByteBetweenFrames", StreamBuilder().StartJob().Raw({0x00}).bytes(),
                Kind::kFrameSequence, 9},
        Refusal{"BadSum",
                [] {
                  Bytes bytes = StreamBuilder().StartJob().EndJob().bytes();
                  bytes.back() ^= 1U;
                  return bytes;
                }(),
                Kind::kFrameSequence, 9},
        Refusal{"UnknownCode", StreamBuilder().StartJob().Frame(0x60, {2, 0}).bytes(),
                Kind::kFrameHandling, 9},
        Refusal{"PlaneCodeAboveThree",
                StreamBuilder().StartJob().SetPageInformation(0x80, 1).SendBand(4, 0, 1, 0).bytes(),
                Kind::kFrameHandling, kAfterPage},
        Refusal{"FrameTooLong", StreamBuilder().StartJob().Raw({0x1B, 0x50, 1, 58, 0}).bytes(),
                Kind::kFrameTooLong, 9},
        Refusal{"EmptyParameters", StreamBuilder().StartJob().Raw({0x1B, 0x50, 1, 0, 0}).bytes(),
                Kind::kEmptyParameters, 9},
        Refusal{"ShortPageInformation",
                StreamBuilder().StartJob().Frame(0x51, Bytes(13, 0xF0)).bytes(),
                Kind::kParameterCount, 9},
        Refusal{
            "LongSendBand",
            StreamBuilder().StartJob().SetPageInformation(0x80, 1).Frame(0x52, Bytes(9, 0)).bytes(),
            Kind::kParameterCount, kAfterPage},
        Refusal{"NoPlaneBits", Page(0x0F, 4), Kind::kNoPlaneBits, 9},
        Refusal{"FewerBandsThanPlanes", Page(0xF0, 3), Kind::kFewerBandsThanPlanes, 9},
        Refusal{"BandBeforePage", StreamBuilder().StartJob().SendBand(0, 0, 1, 0).bytes(),
                Kind::kBandBeforePage, 9},
        Refusal{"BandDataPastEnd",
                [] {
                  Bytes bytes = StreamBuilder()
                                    .StartJob()
                                    .SetPageInformation(0x80, 1)
                                    .SendBand(0, 5, 1, 0)
                                    .bytes();
                  bytes.pop_back();
                  return bytes;
                }(),
                Kind::kBandDataPastEnd, kAfterPage},
        Refusal{"InputEndsInFrame", Concat({Page(0x80, 1), Bytes{0x1B, 0x52, 2}}),
                Kind::kInputEndsInFrame, kAfterPage},
        Refusal{"GroupCutByNextPage",
                StreamBuilder()
                    .StartJob()
                    .SetPageInformation(0x80, 2)
                    .SendBand(0, 1, 1, 0)
                    .SetPageInformation(0x80, 1)
                    .bytes(),
                Kind::kIncompleteGroup, kAfterPage + 16},
        Refusal{"GroupCutByEndOfInput",
                StreamBuilder().StartJob().SetPageInformation(0x80, 2).SendBand(0, 1, 1, 0).bytes(),
                Kind::kIncompleteGroup, kAfterPage + 16},
        Refusal{"MergedLineCountOverflows",
                StreamBuilder()
                    .StartJob()
                    .SetPageInformation(0x80, 2)
                    .SendBand(0, 0, 0xFFFF, 0)
                    .SendBand(0, 0, 1, 0)
                    .bytes(),
                Kind::kMergedBandTooLarge, kAfterPage + 15}),
    [](const testing::TestParamInfo<Refusal>& param) { return param.param.name; });

TEST(BandArrangerTest, DescribesRefusalsWithTheToolsTexts) {
  EXPECT_EQ(DescribeArrangeFailure({Kind::kFrameSequence, 3, 0, 0}), "1:Illegal read file.");
  EXPECT_EQ(DescribeArrangeFailure({Kind::kFrameHandling, 3, 0, 0}), "2:Illegal read file.");
  EXPECT_EQ(DescribeArrangeFailure({Kind::kIncompleteGroup, 77, 1, 2}),
            "The bands of a colour plane end incomplete at byte 77: 1 of 2 arrived.");
  EXPECT_EQ(DescribeArrangeFailure({Kind::kFewerBandsThanPlanes, 9, 3, 4}),
            "The Set Page Information at byte 9 announces 3 bands for 4 colour planes.");
}

}  // namespace
}  // namespace flashtools::test
