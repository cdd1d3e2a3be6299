#include "protocol/FrameParser.h"

#include "protocol/CommandCodes.h"
#include "protocol/CommandNumber.h"
#include "protocol/Frame.h"

namespace protocol {

void FrameParser::Reset() {
  *this = FrameParser();
}

FrameParser::Answer FrameParser::Store(std::uint8_t byte, State next) {
  buffer_[length_++] = byte;
  sum_ = static_cast<std::uint8_t>(sum_ + byte);
  state_ = next;
  return Answer::kMoreBytes;
}

FrameParser::Answer FrameParser::Fail(Error error) {
  error_ = error;
  state_ = State::kLeadByte;
  length_ = 0;
  return Answer::kError;
}

FrameParser::Answer FrameParser::Feed(std::uint8_t byte) {
  switch (state_) {
    case State::kLeadByte:
      if (byte != kLeadByte) {
        return Fail(Error::kLeadByte);
      }
      error_ = Error::kNone;
      length_ = 0;
      sum_ = 0;
      return Store(byte, State::kCode);

    case State::kCode:
      if (startRequired_ && byte != code::kStartJob) {
        return Fail(Error::kStartRequired);
      }
      code_ = byte;
      return Store(byte, State::kNumber);

    case State::kNumber:
      if (code_ == code::kStartJob) {
        expectedNumber_ = byte;
      } else if (byte != expectedNumber_) {
        return Fail(Error::kCommandNumber);
      }
      expectedNumber_ = NextCommandNumber(expectedNumber_);
      return Store(byte, State::kLengthLow);

    case State::kLengthLow:
      return Store(byte, State::kLengthHigh);

    case State::kLengthHigh: {
      Store(byte, State::kComplement);
      const std::uint16_t count = LoadU16(&buffer_[kLengthOffset]);
      if (count == 0) {
        return Fail(Error::kEmptyParameters);
      }
      if (FrameSize(count) > kBufferSize) {
        return Fail(Error::kFrameTooLong);
      }
      parametersLeft_ = count;
      return Answer::kMoreBytes;
    }

    case State::kComplement:
      if (static_cast<std::uint8_t>(code_ + byte) != 0xFF) {
        return Fail(Error::kComplement);
      }
      return Store(byte, State::kParameters);

    case State::kParameters:
      --parametersLeft_;
      return Store(byte, parametersLeft_ == 0 ? State::kSum : State::kParameters);

    case State::kSum:
      if (byte != sum_) {
        return Fail(Error::kSum);
      }
      buffer_[length_++] = byte;
      state_ = State::kLeadByte;
      return Answer::kFrame;
  }
  return Fail(Error::kLeadByte);
}

}  // namespace protocol
