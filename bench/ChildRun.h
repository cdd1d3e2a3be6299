// Runs a program as a child process and measures it alone: wall time and peak resident
// memory.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace bench {

struct ChildMeasurement {
  int exitStatus = -1;
  double seconds = 0;
  std::uint64_t peakResidentBytes = 0;
};

// Runs arguments[0] (searched in PATH) with its standard output discarded.
ChildMeasurement RunChild(const std::vector<std::string>& arguments);

}  // namespace bench
