// Writes the benchmark's inputs: a print-data stream of four-plane pages and a payload of
// pseudo-random bytes.
#pragma once

#include <cstdint>
#include <filesystem>

namespace bench {

// A job of pages, each with 32 Send Bands of 64 KiB (8 per plane), until at least
// minimumBytes are written. Returns the file's size.
std::uint64_t WritePrintDataStream(const std::filesystem::path& path, std::uint64_t minimumBytes);

// Exactly bytes pseudo-random bytes.
void WritePayload(const std::filesystem::path& path, std::uint64_t bytes);

}  // namespace bench
