// The trace of --sim-trace: every byte the virtual printer takes, appended to the trace file
// as it arrives, whichever of its links brought it. A TracingDevice is a link of the printer
// whose writes are followed by the trace.
#pragma once

#include <algorithm>
#include <fstream>
#include <memory>

#include "sim/PassThroughDevice.h"

namespace simulate {

class PrinterTrace {
 public:
  // file may be null: no trace is written.
  explicit PrinterTrace(std::unique_ptr<std::ofstream> file) : file_(std::move(file)) {}

  // Appends bytes the printer took.
  void Record(std::span<const std::uint8_t> taken);
  // False once a write to the trace file has failed.
  bool Written() const { return ok_; }

 private:
  std::unique_ptr<std::ofstream> file_;
  bool ok_ = true;
};

class TracingDevice final : public sim::PassThroughDevice {
 public:
  TracingDevice(std::shared_ptr<sim::Device> link, std::shared_ptr<PrinterTrace> trace)
      : PassThroughDevice(std::move(link)), trace_(std::move(trace)) {}

  sim::IoResult Write(std::span<const std::uint8_t> data) override {
    const sim::IoResult result = Behind().Write(data);
    // Only what the printer took counts: a write the link refused adds nothing.
    if (result.ok) {
      trace_->Record(data.first(std::min<std::size_t>(result.count, data.size())));
    }
    return result;
  }

 private:
  std::shared_ptr<PrinterTrace> trace_;
};

}  // namespace simulate
