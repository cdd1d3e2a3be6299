#include "sim/printer/PrinterOnUsbPrintSupport.h"

#include <utility>

#include "DeviceIdReply.h"

namespace sim {

PrinterOnUsbPrintSupport::PrinterOnUsbPrintSupport(std::shared_ptr<VirtualPrinter> printer)
    : printer_(std::move(printer)) {}

IoResult PrinterOnUsbPrintSupport::Open() {
  if (open_) {
    return IoResult::Failed(platform::kErrorSharingViolation);
  }
  open_ = true;
  return IoResult::Done();
}

void PrinterOnUsbPrintSupport::Close() {
  open_ = false;
}

IoResult PrinterOnUsbPrintSupport::Write(std::span<const std::uint8_t> data) {
  return printer_->Write(data);
}

IoResult PrinterOnUsbPrintSupport::Read(std::span<std::uint8_t> buffer) {
  return printer_->Read(buffer);
}

IoResult PrinterOnUsbPrintSupport::IoControl(std::uint32_t code,
                                             std::span<const std::uint8_t> /*in*/,
                                             std::span<std::uint8_t> out) {
  return DeviceIdReply(*printer_, code, out);
}

}  // namespace sim
