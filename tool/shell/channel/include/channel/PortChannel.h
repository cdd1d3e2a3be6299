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
  std::int32_t Write(std::int32_t portKind, std::int32_t transferMode, const std::uint8_t* data,
                     std::uint32_t length, std::uint32_t* written, const char* outputFile);
  std::int32_t Read(std::int32_t portKind, std::int32_t transferMode, std::uint8_t* buffer,
                    std::uint32_t capacity, std::uint8_t readOption, std::uint32_t* received);
  std::int32_t InitLptPort();
  // The port library's text for its last failure.
  const char* LastMessage();
};

}  // namespace channel
