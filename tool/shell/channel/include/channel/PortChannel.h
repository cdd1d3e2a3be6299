// Every transmission of the tool goes through a PortChannel: it pushes the current settings
// into the port library's parameter block, turns the tool's port kind into the library's port
// code, and makes the library call. Created on the stack for one transmission; holds nothing.
#pragma once

#include <cstdint>

namespace channel {

// The tool's port kinds: 0 file, 1 parallel port, 2 file and parallel port, 3 USB.
// Transfer modes: 0 Standard, 1 Parallel Port FIFO, 2 ECP FIFO.

// The port library's port code for a port kind; 0 (no port) for a kind outside 0 to 3.
std::int32_t PortCodeOf(std::int32_t portKind);

class PortChannel {
 public:
  // Each returns the port library's result unchanged: non-zero success, zero failure.
  //
  // Open pushes the settings as a write does and opens the port, so that a job holds it from
  // its first frame to its last: the library keeps a port its caller opened open across
  // writes and reads (one that fails is closed, and the next call opens it for itself).
  std::int32_t Open(std::int32_t portKind, std::int32_t transferMode, const char* outputFile);
  std::int32_t Close(std::int32_t portKind);
  std::int32_t Write(std::int32_t portKind, std::int32_t transferMode, const std::uint8_t* data,
                     std::uint32_t length, std::uint32_t* written, const char* outputFile);
  std::int32_t Read(std::int32_t portKind, std::int32_t transferMode, std::uint8_t* buffer,
                    std::uint32_t capacity, std::uint8_t readOption, std::uint32_t* received);
  std::int32_t InitLptPort();
  // The port library's text for its last failure.
  const char* LastMessage();
};

// Whether the last Open, Write or Read made through a channel failed.
bool LastCallFailed();
// Whether that call was given a port kind that names no port (an Output index other than
// LPT1: and USB, from a hand-edited settings file).
bool LastCallNamedNoPort();
// Forgets that outcome and the failure reason noted with it, so that nothing of an earlier
// job is told as part of the next.
void ForgetLastCall();

}  // namespace channel
