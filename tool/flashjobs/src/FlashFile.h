// The data file as the flash write sends it: tested against the data type, checked whole,
// and held in the one buffer the data stream is sent from, all before the job opens, so that
// the printer receives exactly the bytes that were checked.
#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <span>

namespace flashjobs {

struct FlashFile {
  enum class Refusal {
    kNone,
    kCannotOpen,        // missing, not a regular file, or not readable
    kNotDemoPrintData,  // the type byte does not match the data type
    kNotFirmware,
    kFormat,     // the first three signature characters are wrong
    kTooLarge,   // larger than the printer's flash can be, or than a transfer can say
    kNoMemory,   // no buffer for the data stream
    kShortRead,  // fewer bytes came than the file's length
    kTruncated,  // shorter than its header, payload and sum byte
    kBadSum,     // the stored sum does not match the bytes
  };
  Refusal refusal = Refusal::kNone;

  std::uint32_t length = 0;  // the file's length in bytes
  std::uint8_t flag = 0;     // 0x40 when bit 7 of Options is set
  std::uint8_t targetCode = 0;
  std::uint32_t loadParameter = 0;

  // What a damaged file announces and holds, for the refusal's message.
  std::uint32_t payloadLength = 0;
  std::uint64_t neededLength = 0;
  std::uint8_t computedSum = 0;
  std::uint8_t storedSum = 0;

  // The whole file followed by the sum of all its bytes: length + 1 bytes.
  std::unique_ptr<std::uint8_t[]> stream;
  std::span<const std::uint8_t> Stream() const {
    return stream ? std::span<const std::uint8_t>(stream.get(), std::size_t{length} + 1)
                  : std::span<const std::uint8_t>();
  }
};

// Reads the first 20 bytes (missing bytes count as 0) and tests the type byte for the data
// type, then the first three signature characters; then the size, then reads the rest of the
// file after those bytes straight into the stream buffer and checks its length and sum.
FlashFile LoadFlashFile(const std::filesystem::path& file, int dataType);

}  // namespace flashjobs
