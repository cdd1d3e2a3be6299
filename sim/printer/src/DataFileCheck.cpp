#include "DataFileCheck.h"

#include <algorithm>
#include <limits>

#include "FrameScan.h"
#include "sim/printer/VirtualPrinter.h"

namespace sim::printer {
namespace {

constexpr std::array<std::uint8_t, 4> kSignature{'V', 'D', 'L', '1'};
constexpr std::size_t kPayloadLengthOffset = 6;

std::uint8_t AddSum(std::uint8_t sum, std::span<const std::uint8_t> bytes) {
  return static_cast<std::uint8_t>(sum + ByteSum(bytes));
}

}  // namespace

void StreamCheck::Begin(std::size_t size, std::span<std::uint8_t> memory, std::size_t flashBytes) {
  *this = StreamCheck();
  size_ = size;
  memory_ = memory;
  flashBytes_ = flashBytes;
  keep_ = size > 0 && size - 1 <= flashBytes && flashBytes <= memory.size();
  fileSumOffset_ = std::numeric_limits<std::uint64_t>::max();
}

void StreamCheck::TakeHeader(std::span<const std::uint8_t> bytes) {
  std::copy(bytes.begin(), bytes.end(), header_.begin() + static_cast<std::ptrdiff_t>(taken_));
  if (taken_ + bytes.size() == kDataFileHeaderSize) {
    for (std::size_t i = 0; i < 4; ++i) {
      payloadLength_ |= std::uint64_t{header_[kPayloadLengthOffset + i]} << (8 * i);
    }
    fileSumOffset_ = kDataFileHeaderSize + payloadLength_;
  }
}

void StreamCheck::Take(std::span<const std::uint8_t> bytes) {
  while (!bytes.empty()) {
    const std::size_t at = taken_;
    if (at + 1 == size_) {
      trailer_ = bytes[0];
      bytes = bytes.subspan(1);
      ++taken_;
      continue;
    }
    if (at == fileSumOffset_) {
      storedFileSum_ = bytes[0];
      sumOfFile_ = AddSum(sumOfFile_, bytes.first(1));
      bytes = bytes.subspan(1);
      ++taken_;
      continue;
    }
    // A run of bytes up to the next one that means something of its own.
    std::uint64_t until = size_ - 1;
    if (at < kDataFileHeaderSize) {
      until = std::min<std::uint64_t>(until, kDataFileHeaderSize);
    }
    if (at < fileSumOffset_) {
      until = std::min(until, fileSumOffset_);
    }
    const auto piece =
        bytes.first(static_cast<std::size_t>(std::min<std::uint64_t>(bytes.size(), until - at)));
    if (at < kDataFileHeaderSize) {
      TakeHeader(piece);
    } else if (at < fileSumOffset_ && keep_) {
      std::copy(piece.begin(), piece.end(),
                memory_.begin() + static_cast<std::ptrdiff_t>(at - kDataFileHeaderSize));
    }
    if (at < fileSumOffset_) {
      sumBeforeFileSum_ = AddSum(sumBeforeFileSum_, piece);
    }
    sumOfFile_ = AddSum(sumOfFile_, piece);
    bytes = bytes.subspan(piece.size());
    taken_ += piece.size();
  }
}

std::uint8_t StreamCheck::Verdict() const {
  if (size_ < kSmallestStream) {
    return flash_status::kSizeError;
  }
  const std::size_t fileSize = size_ - 1;
  if (fileSize > flashBytes_) {
    return flash_status::kSizeOver;
  }
  if (!std::equal(kSignature.begin(), kSignature.end(), header_.begin())) {
    return flash_status::kHeaderError;
  }
  // Bytes after the file sum belong to no field; they travel and count in the trailing sum.
  if (fileSumOffset_ + 1 > fileSize) {
    return flash_status::kSizeError;
  }
  if (sumBeforeFileSum_ != storedFileSum_ || sumOfFile_ != trailer_) {
    return flash_status::kSumError;
  }
  return kStreamAccepted;
}

std::span<const std::uint8_t> StreamCheck::Payload() const {
  return memory_.first(static_cast<std::size_t>(payloadLength_));
}

}  // namespace sim::printer
