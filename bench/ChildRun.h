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

// Runs arguments[0] (searched in PATH) with its standard output going to standardOutput,
// which is created or truncated.
ChildMeasurement RunChild(const std::vector<std::string>& arguments,
                          const std::string& standardOutput = "/dev/null");

}  // namespace bench
