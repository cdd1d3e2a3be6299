#include "TracingDevice.h"

namespace simulate {

PrinterTrace::PrinterTrace(std::shared_ptr<sim::VirtualPrinter> printer,
                           std::unique_ptr<std::ofstream> file)
    : printer_(std::move(printer)), file_(std::move(file)) {}

void PrinterTrace::CatchUp() {
  const auto received = printer_->Received();
  if (file_ && received.size() > traced_) {
    const auto fresh = received.subspan(traced_);
    file_->write(reinterpret_cast<const char*>(fresh.data()),
                 static_cast<std::streamsize>(fresh.size()));
    file_->flush();
    ok_ = ok_ && file_->good();
    traced_ = received.size();
  }
}

}  // namespace simulate
