// A device of the virtual printer (on the parallel port's driver device or on the USB printing
// support) with every byte the printer takes appended to one trace file as it arrives,
// whichever device it came through.
#pragma once

#include <fstream>
#include <memory>

#include "sim/Device.h"
#include "sim/printer/VirtualPrinter.h"

namespace simulate {

// The trace file and how much of what the printer received is in it already.
class PrinterTrace {
 public:
  // trace may be null: no trace is written.
  PrinterTrace(std::shared_ptr<sim::VirtualPrinter> printer, std::unique_ptr<std::ofstream> trace)
      : printer_(std::move(printer)), trace_(std::move(trace)) {}

  // Appends what the printer received since the last call.
  void CatchUp();
  bool Written() const { return ok_; }

 private:
  std::shared_ptr<sim::VirtualPrinter> printer_;
  std::unique_ptr<std::ofstream> trace_;
  std::size_t traced_ = 0;
  bool ok_ = true;
};

class TracingDevice final : public sim::Device {
 public:
  TracingDevice(std::shared_ptr<sim::Device> device, std::shared_ptr<PrinterTrace> trace)
      : device_(std::move(device)), trace_(std::move(trace)) {}

  sim::IoResult Open() override { return device_->Open(); }
  void Close() override { device_->Close(); }
  sim::IoResult Write(std::span<const std::uint8_t> data) override;
  sim::IoResult Read(std::span<std::uint8_t> buffer) override { return device_->Read(buffer); }
  sim::IoResult IoControl(std::uint32_t code, std::span<const std::uint8_t> in,
                          std::span<std::uint8_t> out) override {
    return device_->IoControl(code, in, out);
  }

 private:
  std::shared_ptr<sim::Device> device_;
  std::shared_ptr<PrinterTrace> trace_;
};

}  // namespace simulate
