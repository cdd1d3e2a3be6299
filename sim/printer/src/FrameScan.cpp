#include "FrameScan.h"

namespace sim::printer {

std::optional<std::size_t> ParameterLength(std::uint8_t code) {
  switch (code) {
    case kStartJob:
    case kRequestStatus:
      return 2;
    case kEndJob:
      return 1;
    case kDownloadFirmware:
      return 12;
    case kExecuteFlashWrite:
      return 10;
    default:
      return std::nullopt;
  }
}

std::uint8_t ByteSum(std::span<const std::uint8_t> bytes) {
  unsigned sum = 0;
  for (std::uint8_t b : bytes) {
    sum += b;
  }
  return static_cast<std::uint8_t>(sum);
}

Scan ScanFrame(std::span<const std::uint8_t> bytes) {
  constexpr Scan kNeedMore{Scan::Kind::kNeedMore, 0};
  constexpr Scan kNotAFrame{Scan::Kind::kNotAFrame, 1};
  if (bytes.empty()) {
    return kNeedMore;
  }
  if (bytes[0] != kLeadByte) {
    return kNotAFrame;
  }
  if (bytes.size() < 2) {
    return kNeedMore;
  }
  const auto expected = ParameterLength(bytes[1]);
  if (!expected) {
    return kNotAFrame;
  }
  if (bytes.size() < kHeadSize) {
    return kNeedMore;
  }
  const std::size_t length = bytes[3] | (std::size_t{bytes[4]} << 8);
  if (length != *expected || bytes[5] != static_cast<std::uint8_t>(0xFF - bytes[1])) {
    return kNotAFrame;
  }
  const std::size_t total = kHeadSize + length + 1;
  if (bytes.size() < total) {
    return kNeedMore;
  }
  const bool sumMatches = ByteSum(bytes.first(total - 1)) == bytes[total - 1];
  return {sumMatches ? Scan::Kind::kFrame : Scan::Kind::kBadSum, total};
}

}  // namespace sim::printer
