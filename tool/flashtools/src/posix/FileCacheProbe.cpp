#include "FileCacheProbe.h"

#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>
#include <vector>

namespace flashtools {
namespace {

constexpr std::uint64_t kSampleBytes = std::uint64_t{256} << 10;
constexpr std::uint64_t kSamples = 4;

// Every page of the sample at offset (page aligned) is cached; mapping it reads nothing.
bool SampleIsCached(int descriptor, std::uint64_t offset, std::uint64_t length,
                    std::uint64_t page) {
  void* mapped =
      ::mmap(nullptr, length, PROT_READ, MAP_SHARED, descriptor, static_cast<off_t>(offset));
  if (mapped == MAP_FAILED) {
    return false;
  }
  std::vector<unsigned char> resident((length + page - 1) / page);
  const bool known = ::mincore(mapped, length, resident.data()) == 0;
  ::munmap(mapped, length);
  return known && std::all_of(resident.begin(), resident.end(),
                              [](unsigned char flags) { return (flags & 1U) != 0; });
}

}  // namespace

bool StretchIsCached(int descriptor, std::uint64_t from, std::uint64_t count) {
  const long pageSize = ::sysconf(_SC_PAGESIZE);
  if (pageSize <= 0 || count == 0) {
    return false;
  }
  const auto page = static_cast<std::uint64_t>(pageSize);
  for (std::uint64_t sample = 0; sample < kSamples; ++sample) {
    const std::uint64_t start = from + count / kSamples * sample;
    const std::uint64_t aligned = start / page * page;
    const std::uint64_t length = std::min(kSampleBytes, from + count - aligned);
    if (!SampleIsCached(descriptor, aligned, length, page)) {
      return false;
    }
  }
  return true;
}

}  // namespace flashtools
