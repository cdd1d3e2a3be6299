// Reads and writes at a file position that retry when a signal interrupts them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

namespace flashtools {

// Up to count bytes from offset (from the current position when the file cannot seek);
// the number read, 0 at the end, -1 on failure.
long ReadAt(int descriptor, std::uint8_t* into, std::size_t count, std::uint64_t offset,
            bool seekable);

// All of bytes at offset; false when they could not all be written.
bool WriteAllAt(int descriptor, std::span<const std::uint8_t> bytes, std::uint64_t offset);

}  // namespace flashtools
