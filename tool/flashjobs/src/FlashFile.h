// The data file as the flash write sees it: what it notes before the job opens, and the data
// stream it builds from the file once the job is open.
#pragma once

#include <cstdint>
#include <filesystem>
#include <vector>

namespace flashjobs {

// What the flash write notes from the file before it opens the job.
struct FlashFileFacts {
  enum class Refusal { kNone, kCannotOpen, kNotDemoPrintData, kNotFirmware, kFormat, kTooLarge };
  Refusal refusal = Refusal::kNone;
  std::uint32_t length = 0;  // 0 for a file of 256 bytes or less
  std::uint8_t flag = 0;     // 0x40 when bit 7 of Options is set
  std::uint8_t targetCode = 0;
  std::uint32_t loadParameter = 0;
};

// Reads the first 20 bytes (missing bytes count as 0) and tests the type byte for the data
// type, then the first three signature characters.
FlashFileFacts ProbeFlashFile(const std::filesystem::path& file, int dataType);

// The whole file followed by the sum of all its bytes.
struct DataStream {
  enum class Failure { kNone, kCannotOpen, kChanged, kNoMemory, kShortRead };
  Failure failure = Failure::kNone;
  std::vector<std::uint8_t> bytes;
};

// Opens the file again and builds the stream. A file whose length no longer gives the noted
// length has changed since it was checked: the announced transfer size would not match it.
DataStream ReadDataStream(const std::filesystem::path& file, std::uint32_t notedLength);

}  // namespace flashjobs
