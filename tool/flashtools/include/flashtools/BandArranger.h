// Rewrites a print-data stream so that each run of Send Band frames of one colour plane
// becomes a single Send Band carrying their summed data size and line count, followed by
// all their band data. Page band counts become the number of planes, the frames after each
// Start Job are renumbered consecutively, and every changed frame gets its sum again.
//
// Band data passes straight from the input to the output (between files, the system copies
// it): the merged Send Band is written first as a placeholder and filled in once the group's
// last band has been read, so no band data is held in memory.
#pragma once

#include <cstdint>
#include <string>

#include "flashtools/ByteStream.h"
#include "protocol/FrameParser.h"

namespace flashtools {

struct ArrangeOutcome {
  enum class Kind {
    kArranged,
    kFrameSequence,         // the bytes are not a valid frame sequence
    kFrameHandling,         // a frame not allowed where it stands, or an unknown code
    kFrameTooLong,          // a frame longer than the frame buffer
    kEmptyParameters,       // a frame with parameter length 0
    kParameterCount,        // a Set Page Information or Send Band of the wrong length
    kInputEndsInFrame,      // the input stops inside a frame
    kBandDataPastEnd,       // a Send Band claims more band data than the input holds
    kNoPlaneBits,           // a Set Page Information without colour planes
    kFewerBandsThanPlanes,  // a Set Page Information with fewer bands than planes
    kBandBeforePage,        // a Send Band before any Set Page Information
    kIncompleteGroup,       // a plane's group of bands cut short
    kMergedBandTooLarge,    // merged sizes beyond what a Send Band can carry
    kReadFailed,
    kWriteFailed,
  };

  Kind kind = Kind::kArranged;
  std::uint64_t offset = 0;  // input offset of the frame concerned
  unsigned have = 0;         // details: bands arrived, bands announced, parameter bytes
  unsigned need = 0;         // details: group size, plane count

  bool Succeeded() const { return kind == Kind::kArranged; }
};

// The message text a failed arrangement reports.
std::string DescribeArrangeFailure(const ArrangeOutcome& outcome);

class BandArranger {
 public:
  // One run over the whole input. May throw std::bad_alloc for the file buffers.
  ArrangeOutcome Run(ByteSource& input, ByteSink& output);

 private:
  struct Parsed {
    std::size_t used;  // bytes taken as frames; band data starts after them
    ArrangeOutcome outcome;
  };

  // Feeds bytes to the frame parser and handles each frame, up to the end of the bytes or
  // the first frame that announces band data.
  Parsed ParseFrames(std::span<const std::uint8_t> bytes, ByteSink& output);
  ArrangeOutcome Finish() const;
  ArrangeOutcome ParserFailure() const;
  ArrangeOutcome HandleFrame(ByteSink& output);
  ArrangeOutcome HandleSetPageInformation(std::span<std::uint8_t> frame, ByteSink& output);
  ArrangeOutcome HandleSendBand(std::span<std::uint8_t> frame, ByteSink& output);
  ArrangeOutcome Emit(std::span<std::uint8_t> frame, bool renumber, ByteSink& output);
  void Renumber(std::span<std::uint8_t> frame);
  ArrangeOutcome At(ArrangeOutcome::Kind kind, unsigned have = 0, unsigned need = 0) const;

  protocol::FrameParser parser_;
  std::uint64_t position_ = 0;        // input offset of the next byte
  std::uint64_t frameStart_ = 0;      // input offset of the frame being read
  std::uint64_t bandDataLeft_ = 0;    // band data of the last Send Band still to copy
  std::uint64_t bandFrameStart_ = 0;  // input offset of that Send Band
  bool jobOpen_ = false;
  bool pageSeen_ = false;
  bool bandSeen_ = false;
  unsigned renumberCounter_ = 0;
  std::uint16_t bandCount_ = 0;
  unsigned planeCount_ = 0;
  unsigned groupSize_ = 0;
  std::uint8_t groupPlaneBit_ = 0;  // 0: no group under way
  unsigned bandsInGroup_ = 0;
  std::uint64_t groupDataSize_ = 0;
  std::uint32_t groupLineCount_ = 0;
  std::uint64_t groupFramePosition_ = 0;  // output offset of the merged frame's placeholder
};

}  // namespace flashtools
