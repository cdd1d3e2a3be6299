#include "TracingLptDevice.h"

#include <algorithm>

namespace simulate {

TracingLptDevice::TracingLptDevice(std::shared_ptr<sim::VirtualPrinter> printer,
                                   std::unique_ptr<std::ofstream> trace)
    : device_(std::move(printer)), trace_(std::move(trace)) {}

sim::IoResult TracingLptDevice::Write(std::span<const std::uint8_t> data) {
  const sim::IoResult result = device_.Write(data);
  // Only what the printer took counts: a write the link refused adds nothing.
  if (trace_ && result.ok && result.count > 0) {
    const auto taken = data.first(std::min<std::size_t>(result.count, data.size()));
    trace_->write(reinterpret_cast<const char*>(taken.data()),
                  static_cast<std::streamsize>(taken.size()));
    trace_->flush();
    traceOk_ = traceOk_ && trace_->good();
  }
  return result;
}

}  // namespace simulate
