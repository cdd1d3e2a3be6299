#include "TracingLptDevice.h"

namespace simulate {

TracingLptDevice::TracingLptDevice(std::shared_ptr<sim::VirtualPrinter> printer,
                                   std::unique_ptr<std::ofstream> trace)
    : printer_(printer), device_(std::move(printer)), trace_(std::move(trace)) {}

sim::IoResult TracingLptDevice::Write(std::span<const std::uint8_t> data) {
  const sim::IoResult result = device_.Write(data);
  // Only what the printer took counts: a write the link refused adds nothing.
  const auto received = printer_->Received();
  if (trace_ && received.size() > traced_) {
    const auto fresh = received.subspan(traced_);
    trace_->write(reinterpret_cast<const char*>(fresh.data()),
                  static_cast<std::streamsize>(fresh.size()));
    trace_->flush();
    traceOk_ = traceOk_ && trace_->good();
    traced_ = received.size();
  }
  return result;
}

}  // namespace simulate
