#include "flashtools/BandArranger.h"

#include <algorithm>
#include <array>
#include <bit>
#include <limits>

#include "MessageFormat.h"
#include "protocol/CommandCodes.h"
#include "protocol/Frame.h"
#include "zarnik/Strings.h"

namespace flashtools {
namespace {

using Kind = ArrangeOutcome::Kind;
using protocol::FrameParser;

// Frame offsets read and rewritten.
constexpr std::size_t kPlaneBitsOffset = 6;   // Set Page Information: bits 7-4
constexpr std::size_t kBandCountOffset = 16;  // Set Page Information: B, then P again
constexpr std::size_t kPlaneCountOffset = 18;
constexpr std::size_t kBandSizeOffset = 6;    // Send Band: u32 band data size
constexpr std::size_t kPlaneCodeOffset = 10;  // Send Band: plane code
constexpr std::size_t kBandReservedOffset = 11;
constexpr std::size_t kLineCountOffset = 12;  // Send Band: 16-bit line count
// Set Page Information carries its band and plane counts up to byte 19; Send Band has
// exactly 8 parameter bytes, so its merged frame fills the placeholder exactly.
constexpr std::size_t kPageParametersAtLeast = kPlaneCountOffset + 2 - protocol::kHeadSize;
constexpr std::size_t kBandParameters = 8;

constexpr std::array<std::uint8_t, 4> kPlaneBitOfCode{0x80, 0x10, 0x20, 0x40};

std::uint8_t PlaneCodeOf(std::uint8_t planeBit) {
  const auto* found = std::find(kPlaneBitOfCode.begin(), kPlaneBitOfCode.end(), planeBit);
  return static_cast<std::uint8_t>(found - kPlaneBitOfCode.begin());
}

std::size_t ParameterCount(std::span<const std::uint8_t> frame) {
  return frame.size() - protocol::FrameSize(0);
}

}  // namespace

std::string DescribeArrangeFailure(const ArrangeOutcome& outcome) {
  namespace text = zarnik::text;
  const auto offset = static_cast<unsigned long long>(outcome.offset);
  switch (outcome.kind) {
    case Kind::kArranged:
      return {};
    case Kind::kFrameSequence:
      return std::string(text::kIllegalFrameSequence);
    case Kind::kFrameHandling:
      return std::string(text::kIllegalFrameHandling);
    case Kind::kFrameTooLong:
      return FormatMessage(text::kFrameTooLongFormat, offset);
    case Kind::kEmptyParameters:
      return FormatMessage(text::kEmptyParametersFormat, offset);
    case Kind::kParameterCount:
      return FormatMessage(text::kParameterCountFormat, offset, outcome.have);
    case Kind::kInputEndsInFrame:
      return FormatMessage(text::kInputEndsInFrameFormat, offset);
    case Kind::kBandDataPastEnd:
      return FormatMessage(text::kBandDataPastEndFormat, offset);
    case Kind::kNoPlaneBits:
      return FormatMessage(text::kNoPlaneBitsFormat, offset);
    case Kind::kFewerBandsThanPlanes:
      return FormatMessage(text::kFewerBandsThanPlanesFormat, offset, outcome.have, outcome.need);
    case Kind::kBandBeforePage:
      return FormatMessage(text::kBandBeforePageFormat, offset);
    case Kind::kIncompleteGroup:
      return FormatMessage(text::kIncompleteGroupFormat, offset, outcome.have, outcome.need);
    case Kind::kMergedBandTooLarge:
      return FormatMessage(text::kMergedBandTooLargeFormat, offset);
    case Kind::kReadFailed:
      return std::string(text::kCannotOpenFileNoStop);
    case Kind::kWriteFailed:
      return std::string(text::kCannotOutputOutputFile);
  }
  return {};
}

ArrangeOutcome BandArranger::Run(ByteSource& input, ByteSink& output) {
  *this = BandArranger();
  for (;;) {
    if (bandDataLeft_ > 0) {
      // Band data is copied, never parsed; between files the system copies it.
      const CopyResult copied = output.CopyFrom(input, bandDataLeft_);
      bandDataLeft_ -= copied.bytes;
      position_ += copied.bytes;
      if (!copied.written) {
        return At(Kind::kWriteFailed);
      }
      if (bandDataLeft_ > 0) {
        break;
      }
      continue;
    }
    const auto bytes = input.Next(std::numeric_limits<std::size_t>::max());
    if (bytes.empty()) {
      break;
    }
    const auto [used, outcome] = ParseFrames(bytes, output);
    if (!outcome.Succeeded()) {
      return outcome;
    }
    // What follows the frames (band data) is left to the copy.
    input.PutBack(bytes.size() - used);
  }
  if (input.Failed()) {
    return At(Kind::kReadFailed);
  }
  return Finish();
}

ArrangeOutcome BandArranger::At(Kind kind, unsigned have, unsigned need) const {
  return {kind, frameStart_, have, need};
}

BandArranger::Parsed BandArranger::ParseFrames(std::span<const std::uint8_t> bytes,
                                               ByteSink& output) {
  std::size_t next = 0;
  while (next < bytes.size() && bandDataLeft_ == 0) {
    if (parser_.CurrentState() == FrameParser::State::kLeadByte) {
      frameStart_ = position_;
    }
    const FrameParser::Answer answer = parser_.Feed(bytes[next]);
    ++next;
    ++position_;
    if (answer == FrameParser::Answer::kError) {
      return {next, ParserFailure()};
    }
    if (answer == FrameParser::Answer::kFrame) {
      if (ArrangeOutcome outcome = HandleFrame(output); !outcome.Succeeded()) {
        return {next, outcome};
      }
    }
  }
  return {next, {}};
}

ArrangeOutcome BandArranger::ParserFailure() const {
  switch (parser_.LastError()) {
    case FrameParser::Error::kFrameTooLong:
      return At(Kind::kFrameTooLong);
    case FrameParser::Error::kEmptyParameters:
      return At(Kind::kEmptyParameters);
    default:
      return At(Kind::kFrameSequence);
  }
}

ArrangeOutcome BandArranger::Finish() const {
  if (bandDataLeft_ > 0) {
    return {Kind::kBandDataPastEnd, bandFrameStart_, 0, 0};
  }
  if (parser_.CurrentState() != FrameParser::State::kLeadByte) {
    return At(Kind::kInputEndsInFrame);
  }
  if (groupPlaneBit_ != 0) {
    return {Kind::kIncompleteGroup, position_, bandsInGroup_, groupSize_};
  }
  return {};
}

void BandArranger::Renumber(std::span<std::uint8_t> frame) {
  ++renumberCounter_;
  frame[protocol::kNumberOffset] = static_cast<std::uint8_t>(renumberCounter_);
  protocol::SealFrame(frame);
}

ArrangeOutcome BandArranger::Emit(std::span<std::uint8_t> frame, bool renumber, ByteSink& output) {
  if (renumber) {
    Renumber(frame);
  }
  if (!output.Write(frame)) {
    return At(Kind::kWriteFailed);
  }
  return {};
}

ArrangeOutcome BandArranger::HandleFrame(ByteSink& output) {
  const std::span<std::uint8_t> frame = parser_.Frame();
  const std::uint8_t code = frame[protocol::kCodeOffset];
  if (groupPlaneBit_ != 0 && code != protocol::code::kSendBand) {
    // A plane's bands travel back to back; anything else between them cuts the group short.
    return At(Kind::kIncompleteGroup, bandsInGroup_, groupSize_);
  }
  if (code == protocol::code::kStartJob) {
    jobOpen_ = true;
    parser_.SetStartRequired(false);
    return Emit(frame, false, output);
  }
  if (!jobOpen_) {
    return At(Kind::kFrameHandling);
  }
  switch (code) {
    case protocol::code::kEndJob:
      jobOpen_ = false;
      parser_.SetStartRequired(true);
      return Emit(frame, true, output);
    case protocol::code::kSetJobInformation:
      return Emit(frame, true, output);
    case protocol::code::kSetPageInformation:
      return HandleSetPageInformation(frame, output);
    case protocol::code::kSendBand:
      return HandleSendBand(frame, output);
    case protocol::code::kEndPrintData:
      return Emit(frame, bandSeen_, output);
    default:
      return At(Kind::kFrameHandling);
  }
}

ArrangeOutcome BandArranger::HandleSetPageInformation(std::span<std::uint8_t> frame,
                                                      ByteSink& output) {
  const std::size_t parameters = ParameterCount(frame);
  if (parameters < kPageParametersAtLeast) {
    return At(Kind::kParameterCount, static_cast<unsigned>(parameters));
  }
  const std::uint16_t bands = protocol::LoadU16(&frame[kBandCountOffset]);
  const auto planes =
      static_cast<unsigned>(std::popcount(static_cast<unsigned>(frame[kPlaneBitsOffset] & 0xF0U)));
  if (planes == 0) {
    return At(Kind::kNoPlaneBits);
  }
  if (bands < planes) {
    return At(Kind::kFewerBandsThanPlanes, bands, planes);
  }
  bandCount_ = bands;
  planeCount_ = planes;
  groupSize_ = bands / planes;
  pageSeen_ = true;
  protocol::StoreU16(&frame[kBandCountOffset], static_cast<std::uint16_t>(planes));
  protocol::StoreU16(&frame[kPlaneCountOffset], static_cast<std::uint16_t>(planes));
  return Emit(frame, true, output);
}

ArrangeOutcome BandArranger::HandleSendBand(std::span<std::uint8_t> frame, ByteSink& output) {
  const std::size_t parameters = ParameterCount(frame);
  if (parameters != kBandParameters) {
    return At(Kind::kParameterCount, static_cast<unsigned>(parameters));
  }
  if (!pageSeen_) {
    return At(Kind::kBandBeforePage);
  }
  if (groupPlaneBit_ == 0) {
    const std::uint8_t planeCode = frame[kPlaneCodeOffset];
    if (planeCode >= kPlaneBitOfCode.size()) {
      return At(Kind::kFrameHandling);
    }
    groupPlaneBit_ = kPlaneBitOfCode[planeCode];
    bandsInGroup_ = 0;
    groupSize_ = bandCount_ / planeCount_;
    groupDataSize_ = 0;
    groupLineCount_ = 0;
    // Room for the merged frame, filled in when the group's last band arrives.
    groupFramePosition_ = output.Position();
    if (!output.Write(frame)) {
      return At(Kind::kWriteFailed);
    }
  }
  ++bandsInGroup_;
  const std::uint32_t dataSize = protocol::LoadU32(&frame[kBandSizeOffset]);
  groupDataSize_ += dataSize;
  groupLineCount_ += protocol::LoadU16(&frame[kLineCountOffset]);
  if (groupDataSize_ > UINT32_MAX || groupLineCount_ > UINT16_MAX) {
    return At(Kind::kMergedBandTooLarge);
  }
  bandSeen_ = true;
  bandDataLeft_ = dataSize;
  bandFrameStart_ = frameStart_;

  if (bandsInGroup_ < groupSize_) {
    return {};
  }
  Renumber(frame);
  protocol::StoreU32(&frame[kBandSizeOffset], static_cast<std::uint32_t>(groupDataSize_));
  frame[kPlaneCodeOffset] = PlaneCodeOf(groupPlaneBit_);
  frame[kBandReservedOffset] = 0;
  protocol::StoreU16(&frame[kLineCountOffset], static_cast<std::uint16_t>(groupLineCount_));
  protocol::SealFrame(frame);
  groupPlaneBit_ = 0;
  if (!output.WriteAt(groupFramePosition_, frame)) {
    return At(Kind::kWriteFailed);
  }
  return {};
}

}  // namespace flashtools
