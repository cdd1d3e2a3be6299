// Finding the driver's devices: candidate i is the i-th device interface of the maker's class
// present now, looked up with a device information set of its own.
#pragma once

#include <cstdint>
#include <string>

namespace vopusb {

struct Candidate {
  enum class Kind {
    kPath,      // path holds the device path
    kUnusable,  // the interface is there, but its path could not be had or does not fit a slot
    kEnd,       // no interface with this index (or no device information set): discovery ends
  };
  Kind kind = Kind::kEnd;
  std::string path;
};

Candidate FindCandidate(std::uint32_t index);

}  // namespace vopusb
