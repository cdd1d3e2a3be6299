#include "DataFileCheck.h"

#include <algorithm>
#include <array>

#include "FrameScan.h"
#include "sim/printer/VirtualPrinter.h"

namespace sim::printer {
namespace {

constexpr std::array<std::uint8_t, 4> kSignature{'V', 'D', 'L', '1'};
constexpr std::size_t kPayloadLengthOffset = 6;

std::uint64_t PayloadLength(std::span<const std::uint8_t> header) {
  std::uint64_t value = 0;
  for (std::size_t i = 0; i < 4; ++i) {
    value |= std::uint64_t{header[kPayloadLengthOffset + i]} << (8 * i);
  }
  return value;
}

}  // namespace

std::uint8_t CheckDataStream(std::span<const std::uint8_t> stream, std::size_t flashBytes) {
  if (stream.size() < kSmallestStream) {
    return flash_status::kSizeError;
  }
  const auto file = stream.first(stream.size() - 1);
  if (file.size() > flashBytes) {
    return flash_status::kSizeOver;
  }
  if (!std::equal(kSignature.begin(), kSignature.end(), file.begin())) {
    return flash_status::kHeaderError;
  }
  // Bytes after the file sum belong to no field; they travel and count in the trailing sum.
  const std::uint64_t payloadLength = PayloadLength(file);
  if (kDataFileHeaderSize + payloadLength + 1 > file.size()) {
    return flash_status::kSizeError;
  }
  const std::size_t sumOffset = kDataFileHeaderSize + static_cast<std::size_t>(payloadLength);
  if (ByteSum(file.first(sumOffset)) != file[sumOffset] || ByteSum(file) != stream.back()) {
    return flash_status::kSumError;
  }
  return kStreamAccepted;
}

std::span<const std::uint8_t> PayloadOf(std::span<const std::uint8_t> stream) {
  return stream.subspan(kDataFileHeaderSize, static_cast<std::size_t>(PayloadLength(stream)));
}

}  // namespace sim::printer
