#include "protocol/FrameParser.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "protocol/CommandCodes.h"
#include "protocol/Frame.h"

namespace protocol {
namespace {

using Bytes = std::vector<std::uint8_t>;
using Answer = FrameParser::Answer;
using Error = FrameParser::Error;

Bytes MakeFrame(std::uint8_t code, std::uint8_t number, const Bytes& parameters) {
  Bytes frame(FrameSize(parameters.size()));
  WriteFrame(frame.data(), code, number, parameters);
  return frame;
}

// Feeds bytes and returns the answer to the last one; every earlier byte must ask for more.
Answer FeedAll(FrameParser& parser, const Bytes& bytes) {
  for (std::size_t i = 0; i + 1 < bytes.size(); ++i) {
    const Answer answer = parser.Feed(bytes[i]);
    if (answer != Answer::kMoreBytes) {
      return answer;
    }
  }
  return parser.Feed(bytes.back());
}

TEST(FrameParserTest, DeliversFramesAndFollowsTheNumbering) {
  FrameParser parser;
  const Bytes start = MakeFrame(code::kStartJob, 0xFF, {0xFF, 0x10});
  ASSERT_EQ(FeedAll(parser, start), Answer::kFrame);
  EXPECT_EQ(Bytes(parser.Frame().begin(), parser.Frame().end()), start);
  parser.SetStartRequired(false);

  // After number 0xFF the next frame must carry 0x00.
  const Bytes next = MakeFrame(code::kSetJobInformation, 0x00, Bytes(8, 0x11));
  ASSERT_EQ(FeedAll(parser, next), Answer::kFrame);
  EXPECT_EQ(parser.Frame().size(), next.size());

  // A new Start Job sets the numbering afresh.
  ASSERT_EQ(FeedAll(parser, MakeFrame(code::kStartJob, 0x40, {0xFF, 0x10})), Answer::kFrame);
  EXPECT_EQ(FeedAll(parser, MakeFrame(code::kEndJob, 0x41, {0})), Answer::kFrame);
}

TEST(FrameParserTest, AcceptsTheLargestFrameTheBufferHolds) {
  FrameParser parser;
  const Bytes largest =
      MakeFrame(code::kStartJob, 0, Bytes(FrameParser::kBufferSize - FrameSize(0), 0xAB));
  EXPECT_EQ(FeedAll(parser, largest), Answer::kFrame);
  EXPECT_EQ(parser.Frame().size(), FrameParser::kBufferSize);
}

struct Refusal {
  const char* name;
  Bytes prefix;  // frames fed before, each accepted
  Bytes bytes;   // the refused frame; its last byte draws the error
  Error error;
  bool startRequired;
};

class FrameParserRefusalTest : public testing::TestWithParam<Refusal> {};

TEST_P(FrameParserRefusalTest, RefusesAtTheFirstWrongByte) {
  const Refusal& refusal = GetParam();
  FrameParser parser;
  parser.SetStartRequired(refusal.startRequired);
  for (const std::uint8_t byte : refusal.prefix) {
    ASSERT_NE(parser.Feed(byte), Answer::kError);
  }
  EXPECT_EQ(FeedAll(parser, refusal.bytes), Answer::kError);
  EXPECT_EQ(parser.LastError(), refusal.error);
  EXPECT_EQ(parser.CurrentState(), FrameParser::State::kLeadByte);
}

Bytes WithByte(Bytes frame, std::size_t at, std::uint8_t value) {
  frame[at] = value;
  return frame;
}

const Bytes kStart = MakeFrame(code::kStartJob, 0, {0xFF, 0x10});

INSTANTIATE_TEST_SUITE_P(
    Refusals, FrameParserRefusalTest,
    testing::Values(
        Refusal{"StrayByte", {}, {0x00}, Error::kLeadByte, true},
        Refusal{"NotStartJob", {}, {0x1B, code::kEndJob}, Error::kStartRequired, true},
        Refusal{"WrongNumber", kStart, {0x1B, code::kEndJob, 0x05}, Error::kCommandNumber, false},
        Refusal{"EmptyParameters",
                {},
                {0x1B, code::kStartJob, 0, 0x00, 0x00},
                Error::kEmptyParameters,
                true},
        Refusal{
            "OneByteTooLong", {}, {0x1B, code::kStartJob, 0, 58, 0x00}, Error::kFrameTooLong, true},
        Refusal{
            "HugeLength", {}, {0x1B, code::kStartJob, 0, 0xFF, 0xFF}, Error::kFrameTooLong, true},
        Refusal{"Complement",
                {},
                WithByte(Bytes(kStart.begin(), kStart.begin() + 6), 5, 0xBE),
                Error::kComplement,
                true},
        Refusal{"Sum", {}, WithByte(kStart, 8, 0x00), Error::kSum, true}),
    [](const testing::TestParamInfo<Refusal>& param) { return param.param.name; });

}  // namespace
}  // namespace protocol
