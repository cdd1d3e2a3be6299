// A link of limited speed in front of a device, so that a transfer to the virtual printer
// takes real time: the bytes of a write reach the device in slices, each once the link would
// have carried it at its speed. The bytes and their order are those of the write; only their
// timing changes. Reads, device controls and opens pass straight through.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>

#include "sim/PassThroughDevice.h"

namespace sim {

class PacedLink final : public PassThroughDevice {
 public:
  using Clock = std::function<std::chrono::steady_clock::time_point()>;
  using Sleep = std::function<void(std::chrono::steady_clock::duration)>;

  // bytesPerSecond must be at least 1. The clock and the sleep are the real ones unless a
  // test gives its own.
  PacedLink(std::shared_ptr<Device> device, std::uint32_t bytesPerSecond, Clock clock = {},
            Sleep sleep = {});

  // Each slice is counted as taken once the device has it.
  IoResult Write(std::span<const std::uint8_t> data) override;

 private:
  // Waits until the link has carried count more bytes after what it carried before.
  void Carry(std::size_t count);

  std::uint32_t bytesPerSecond_;
  Clock clock_;
  Sleep sleep_;
  std::chrono::steady_clock::time_point lineFree_;  // when the link has carried all so far
};

}  // namespace sim
