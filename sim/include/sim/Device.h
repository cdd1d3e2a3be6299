// Something a path on the simulated machine opens to: a parallel-port driver device, a USB
// printing-support device, a pipe of the maker's USB device, a serial line. The machine
// routes the file and device-control calls made on a handle to the device behind it.
#pragma once

#include <cstdint>
#include <span>

#include "platform/WinApi.h"

namespace sim {

// Outcome of one device operation: success with a byte count, or failure with the system
// error code the caller's "last error" takes.
struct IoResult {
  bool ok = true;
  std::uint32_t count = 0;
  std::uint32_t error = 0;

  static IoResult Done(std::uint32_t count = 0) { return {true, count, 0}; }
  static IoResult Failed(std::uint32_t error) { return {false, 0, error}; }
};

class Device {
 public:
  Device() = default;
  Device(const Device&) = delete;
  Device& operator=(const Device&) = delete;
  virtual ~Device() = default;

  // Called for every open of the device's path; a failure refuses that open.
  virtual IoResult Open() { return IoResult::Done(); }
  // Called when a handle opened on the device is closed.
  virtual void Close() {}

  virtual IoResult Write(std::span<const std::uint8_t> data) = 0;
  virtual IoResult Read(std::span<std::uint8_t> buffer) = 0;
  // Device I/O controls; a device that knows none refuses them all.
  virtual IoResult IoControl(std::uint32_t /*code*/, std::span<const std::uint8_t> /*in*/,
                             std::span<std::uint8_t> /*out*/) {
    return IoResult::Failed(platform::kErrorInvalidParameter);
  }

  // Serial line control, for a device that is a serial line; any other device refuses it
  // as Windows refuses comm calls on a handle that is no serial port.
  virtual IoResult SetCommMask(std::uint32_t /*mask*/) {
    return IoResult::Failed(platform::kErrorInvalidFunction);
  }
  virtual IoResult SetupComm(std::uint32_t /*inQueue*/, std::uint32_t /*outQueue*/) {
    return IoResult::Failed(platform::kErrorInvalidFunction);
  }
  virtual IoResult GetCommState(platform::CommState& /*state*/) {
    return IoResult::Failed(platform::kErrorInvalidFunction);
  }
  virtual IoResult SetCommState(const platform::CommState& /*state*/) {
    return IoResult::Failed(platform::kErrorInvalidFunction);
  }
  virtual IoResult SetCommTimeouts(const platform::CommTimeouts& /*timeouts*/) {
    return IoResult::Failed(platform::kErrorInvalidFunction);
  }
};

}  // namespace sim
