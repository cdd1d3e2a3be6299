// Where a printer-facing procedure sends: the tool's port kind and transfer mode and the
// capture file used by the file port. Every frame and every reply of a run goes this way.
#pragma once

#include <cstdint>
#include <string>

namespace flashjobs {

struct PortTarget {
  std::int32_t portKind = 1;      // 0 file, 1 parallel port, 2 file and parallel port, 3 USB
  std::int32_t transferMode = 0;  // 0 Standard, 1 Parallel Port FIFO, 2 ECP FIFO
  std::string outputFile;
};

}  // namespace flashjobs
