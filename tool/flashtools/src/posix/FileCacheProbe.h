// Whether a stretch of a file is in the system's file cache, told without reading it.
#pragma once

#include <cstdint>

namespace flashtools {

// True when every page of a few samples spread over the stretch is cached (false when that
// cannot be told). Reading a cached file is copying out of memory, which several threads do
// faster than one; a file on the disk is read fastest as one sequential stream.
bool StretchIsCached(int descriptor, std::uint64_t from, std::uint64_t count);

}  // namespace flashtools
