// The flash write's peak memory on the simulated printer, set against the data file's size.
#pragma once

#include <filesystem>
#include <string>

namespace bench {

// Flashes a 16 MiB data file into a virtual printer with a 128 Mbit flash, and an empty data
// file into the same printer; what the larger file adds to the peak resident memory is what
// the flash write holds of it. Prints the figures; false when that exceeds 1.5 times the file.
bool ReportFlashWriteMemory(const std::string& cli, const std::filesystem::path& dir);

}  // namespace bench
