// Whether a benchmark's input is read from the system's file cache or from the disk.
#pragma once

#include <filesystem>

namespace bench {

// Writes the file's changed pages to the disk (so that no writing out runs during a
// measurement) and reads it once, so that the next reader finds it in the file cache.
void Warm(const std::filesystem::path& path);

// Writes the file's changed pages to the disk and drops them from the file cache, so that the
// next reader reads it from the disk. Works for files the caller may open.
void Evict(const std::filesystem::path& path);

}  // namespace bench
