#include "TracingDevice.h"

namespace simulate {

void PrinterTrace::CatchUp() {
  // Only what the printer took counts: a write the link refused adds nothing.
  const auto received = printer_->Received();
  if (trace_ && received.size() > traced_) {
    const auto fresh = received.subspan(traced_);
    trace_->write(reinterpret_cast<const char*>(fresh.data()),
                  static_cast<std::streamsize>(fresh.size()));
    trace_->flush();
    ok_ = ok_ && trace_->good();
    traced_ = received.size();
  }
}

sim::IoResult TracingDevice::Write(std::span<const std::uint8_t> data) {
  const sim::IoResult result = device_->Write(data);
  trace_->CatchUp();
  return result;
}

}  // namespace simulate
