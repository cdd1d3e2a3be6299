// The IEEE 1284 cable between the host's parallel port and a peripheral, as line levels
// (true = high), not as the inverted register bits the host's software sees.
#pragma once

#include <cstdint>
#include <optional>

namespace sim {

// The lines the host drives.
struct HostLines {
  std::uint8_t data = 0;       // the data lines, while the host drives them
  bool hostDrivesData = true;  // false: the host's data drivers are off (reverse direction)
  bool nStrobe = true;
  bool nAutoFd = true;
  bool nInit = true;
  bool nSelectIn = false;
};

// The lines the peripheral drives.
struct PeripheralLines {
  bool nAck = true;
  bool busy = false;
  bool pError = false;
  bool select = true;
  bool nFault = true;
  std::optional<std::uint8_t> data;  // the data lines, while the peripheral drives them
};

// The far end of the cable.
class ParallelPeripheral {
 public:
  ParallelPeripheral() = default;
  ParallelPeripheral(const ParallelPeripheral&) = delete;
  ParallelPeripheral& operator=(const ParallelPeripheral&) = delete;
  virtual ~ParallelPeripheral() = default;

  // Called whenever one of the host's lines has changed; the peripheral answers on its lines.
  virtual void HostLinesChanged(const HostLines& lines) = 0;
  // The peripheral's lines as they are now (they may change with time alone, e.g. Busy).
  virtual PeripheralLines Lines() = 0;
};

}  // namespace sim
