// The virtual printer as the system's parallel-port driver device presents it: writes go to
// the printer, reads fetch its replies, and the device-identification request returns its
// IEEE 1284 identification string. The simulated machine attaches it at "\\.\LPT1".
#pragma once

#include <memory>

#include "sim/Device.h"
#include "sim/printer/VirtualPrinter.h"

namespace sim {

class PrinterOnLptDriver : public Device {
 public:
  explicit PrinterOnLptDriver(std::shared_ptr<VirtualPrinter> printer);

  IoResult Write(std::span<const std::uint8_t> data) override;
  IoResult Read(std::span<std::uint8_t> buffer) override;
  IoResult IoControl(std::uint32_t code, std::span<const std::uint8_t> in,
                     std::span<std::uint8_t> out) override;

  VirtualPrinter& Printer() { return *printer_; }

 private:
  std::shared_ptr<VirtualPrinter> printer_;
};

}  // namespace sim
