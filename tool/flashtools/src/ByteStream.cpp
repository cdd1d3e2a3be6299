#include "flashtools/ByteStream.h"

#include <algorithm>

namespace flashtools {

std::size_t ReadFully(ByteSource& source, std::span<std::uint8_t> into) {
  std::size_t total = 0;
  while (total < into.size()) {
    const std::size_t got = source.Read(into.subspan(total));
    if (got == 0) {
      break;
    }
    total += got;
  }
  return total;
}

std::size_t MemorySource::Read(std::span<std::uint8_t> into) {
  const std::size_t count = std::min(into.size(), bytes_.size());
  std::copy_n(bytes_.begin(), count, into.begin());
  bytes_ = bytes_.subspan(count);
  return count;
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
