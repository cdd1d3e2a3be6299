// The virtual printer on the parallel port's driver device, with every byte the printer takes
// appended to a trace file as it arrives.
#pragma once

#include <fstream>
#include <memory>

#include "sim/printer/PrinterOnLptDriver.h"

namespace simulate {

class TracingLptDevice final : public sim::Device {
 public:
  // trace may be null: no trace is written.
  TracingLptDevice(std::shared_ptr<sim::VirtualPrinter> printer,
                   std::unique_ptr<std::ofstream> trace);

  sim::IoResult Write(std::span<const std::uint8_t> data) override;
  sim::IoResult Read(std::span<std::uint8_t> buffer) override { return device_.Read(buffer); }
  sim::IoResult IoControl(std::uint32_t code, std::span<const std::uint8_t> in,
                          std::span<std::uint8_t> out) override {
    return device_.IoControl(code, in, out);
  }

  bool TraceWritten() const { return traceOk_; }

 private:
  sim::PrinterOnLptDriver device_;
  std::unique_ptr<std::ofstream> trace_;
  bool traceOk_ = true;
};

}  // namespace simulate
