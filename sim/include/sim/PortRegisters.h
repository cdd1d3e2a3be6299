// What answers the processor's port input and output on the simulated machine: the
// parallel port's registers with a peripheral behind them.
#pragma once

#include <cstdint>

namespace sim {

class PortRegisters {
 public:
  PortRegisters() = default;
  PortRegisters(const PortRegisters&) = delete;
  PortRegisters& operator=(const PortRegisters&) = delete;
  virtual ~PortRegisters() = default;

  // The I/O address the registers start at (the data register).
  virtual std::uint16_t Base() const = 0;
  virtual std::uint8_t In(std::uint16_t address) = 0;
  virtual void Out(std::uint16_t address, std::uint8_t value) = 0;
};

}  // namespace sim
