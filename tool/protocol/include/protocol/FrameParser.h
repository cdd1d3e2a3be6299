// Reads command frames one byte at a time, checking the lead byte, that a job begins with
// Start Job, the running command number, the code complement and the frame sum. Anything
// that reads frames from a byte stream can use it; it knows nothing of what a frame means.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

namespace protocol {

class FrameParser {
 public:
  // The largest frame the parser holds; a frame announcing more is refused.
  static constexpr std::size_t kBufferSize = 64;

  enum class State {
    kLeadByte,
    kCode,
    kNumber,
    kLengthLow,
    kLengthHigh,
    kComplement,
    kParameters,
    kSum,
  };

  enum class Answer { kMoreBytes, kError, kFrame };

  enum class Error {
    kNone,
    kLeadByte,         // a byte other than 0x1B where a frame must begin
    kStartRequired,    // a frame other than Start Job where a job must begin
    kCommandNumber,    // not the number following the previous frame's
    kEmptyParameters,  // parameter length 0
    kFrameTooLong,     // the frame would not fit the frame buffer
    kComplement,       // code complement is not 0xFF minus the code
    kSum,              // frame sum differs from the sum of the bytes before it
  };

  FrameParser() = default;

  // Back to the start of a run: waiting for a lead byte, Start Job required.
  void Reset();

  // Takes the next byte of the stream. After kFrame the complete frame is in Frame() until
  // the next byte is fed; after kError the parser waits for a lead byte again and Error()
  // says what was wrong.
  Answer Feed(std::uint8_t byte);

  std::span<const std::uint8_t> Frame() const { return {buffer_.data(), length_}; }
  std::span<std::uint8_t> Frame() { return {buffer_.data(), length_}; }
  Error LastError() const { return error_; }
  State CurrentState() const { return state_; }

  // Whether the next frame must be a Start Job. Set at the start of a run; the reader of the
  // frames clears it when a job opens and sets it again when the job ends.
  bool StartRequired() const { return startRequired_; }
  void SetStartRequired(bool required) { startRequired_ = required; }

 private:
  Answer Store(std::uint8_t byte, State next);
  Answer Fail(Error error);

  State state_ = State::kLeadByte;
  std::array<std::uint8_t, kBufferSize> buffer_{};
  std::size_t length_ = 0;
  std::uint8_t sum_ = 0;
  std::uint8_t code_ = 0;
  std::uint8_t expectedNumber_ = 0;
  std::uint16_t parametersLeft_ = 0;
  bool startRequired_ = true;
  Error error_ = Error::kNone;
};

}  // namespace protocol
