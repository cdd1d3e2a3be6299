#include "flashtools/ByteStream.h"

#include <algorithm>
#include <limits>

#include "protocol/FrameSum.h"

namespace flashtools {
namespace {

std::size_t ClampToSize(std::uint64_t count) {
  return static_cast<std::size_t>(
      std::min<std::uint64_t>(count, std::numeric_limits<std::size_t>::max()));
}

}  // namespace

std::uint64_t ByteSource::SumNext(std::uint64_t count, std::uint8_t& sum) {
  std::uint64_t taken = 0;
  while (taken < count) {
    const auto piece = Next(ClampToSize(count - taken));
    if (piece.empty()) {
      break;
    }
    sum = protocol::FrameSum(piece.data(), piece.size(), sum);
    taken += piece.size();
  }
  return taken;
}

CopyResult ByteSink::CopyFrom(ByteSource& source, std::uint64_t count) {
  std::uint8_t unused = 0;
  return ByteSink::CopyAndSum(source, count, unused);
}

CopyResult ByteSink::CopyAndSum(ByteSource& source, std::uint64_t count, std::uint8_t& sum) {
  CopyResult result;
  while (result.bytes < count) {
    const auto piece = source.Next(ClampToSize(count - result.bytes));
    if (piece.empty()) {
      break;
    }
    sum = protocol::FrameSum(piece.data(), piece.size(), sum);
    if (!Write(piece)) {
      result.written = false;
      break;
    }
    result.bytes += piece.size();
  }
  return result;
}

std::size_t ReadFully(ByteSource& source, std::span<std::uint8_t> into) {
  std::size_t total = 0;
  while (total < into.size()) {
    const auto piece = source.Next(into.size() - total);
    if (piece.empty()) {
      break;
    }
    std::copy(piece.begin(), piece.end(), into.begin() + static_cast<std::ptrdiff_t>(total));
    total += piece.size();
  }
  return total;
}

std::span<const std::uint8_t> MemorySource::Next(std::size_t limit) {
  const std::size_t count = std::min(limit, bytes_.size() - next_);
  const auto piece = bytes_.subspan(next_, count);
  next_ += count;
  return piece;
}

bool MemorySink::Write(std::span<const std::uint8_t> bytes) {
  bytes_.insert(bytes_.end(), bytes.begin(), bytes.end());
  return true;
}

bool MemorySink::WriteAt(std::uint64_t position, std::span<const std::uint8_t> bytes) {
  if (position > bytes_.size() || bytes.size() > bytes_.size() - position) {
    return false;
  }
  std::copy(bytes.begin(), bytes.end(), bytes_.begin() + static_cast<std::ptrdiff_t>(position));
  return true;
}

}  // namespace flashtools
