// The virtual printer as the system's USB printing support presents it: one handle at a time
// (a second open finds it in use), writes go to the printer, reads fetch its replies, and the
// device-identification request returns its IEEE 1284 identification string.
#pragma once

#include <memory>

#include "sim/Device.h"
#include "sim/printer/VirtualPrinter.h"

namespace sim {

class PrinterOnUsbPrintSupport : public Device {
 public:
  explicit PrinterOnUsbPrintSupport(std::shared_ptr<VirtualPrinter> printer);

  IoResult Open() override;
  void Close() override;
  IoResult Write(std::span<const std::uint8_t> data) override;
  IoResult Read(std::span<std::uint8_t> buffer) override;
  IoResult IoControl(std::uint32_t code, std::span<const std::uint8_t> in,
                     std::span<std::uint8_t> out) override;

 private:
  std::shared_ptr<VirtualPrinter> printer_;
  bool open_ = false;
};

}  // namespace sim
