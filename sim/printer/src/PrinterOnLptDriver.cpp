#include "sim/printer/PrinterOnLptDriver.h"

#include <utility>

#include "DeviceIdReply.h"

namespace sim {

PrinterOnLptDriver::PrinterOnLptDriver(std::shared_ptr<VirtualPrinter> printer)
    : printer_(std::move(printer)) {}

IoResult PrinterOnLptDriver::Write(std::span<const std::uint8_t> data) {
  return printer_->Write(data);
}

IoResult PrinterOnLptDriver::Read(std::span<std::uint8_t> buffer) {
  return printer_->Read(buffer);
}

// The driver returns the identification string alone; the caller adds the length bytes.
IoResult PrinterOnLptDriver::IoControl(std::uint32_t code, std::span<const std::uint8_t> /*in*/,
                                       std::span<std::uint8_t> out) {
  return DeviceIdReply(*printer_, code, out);
}

}  // namespace sim
