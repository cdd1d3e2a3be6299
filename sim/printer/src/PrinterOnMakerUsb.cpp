#include "sim/printer/PrinterOnMakerUsb.h"

#include <algorithm>
#include <span>
#include <utility>
#include <vector>

#include "DeviceIdReply.h"
#include "platform/UsbInterfaceNames.h"
#include "platform/VopUsbDriver.h"

namespace sim {

namespace {

namespace driver = platform::vopusb;

// A request the device does not know: the control pipe stalls.
constexpr std::uint32_t kStall = platform::kErrorGenFailure;

// Printer-class requests and the port status the printer reports (selected, no error).
constexpr std::uint8_t kGetDeviceId = 0;
constexpr std::uint8_t kGetPortStatus = 1;
constexpr std::uint8_t kSoftReset = 2;
constexpr std::uint8_t kPortStatusReady = 0x18;
constexpr std::uint8_t kClassInterfaceIn = 0xA1;
constexpr std::uint8_t kClassInterfaceOut = 0x21;

constexpr std::uint8_t kOutEndpoint = 0x01;
constexpr std::uint8_t kInEndpoint = 0x82;

constexpr std::uint8_t Low(std::uint16_t value) {
  return static_cast<std::uint8_t>(value & 0xFFU);
}
constexpr std::uint8_t High(std::uint16_t value) {
  return static_cast<std::uint8_t>(value >> 8);
}

// clang-format off
constexpr std::array<std::uint8_t, 18> DeviceDescriptor(std::uint16_t vendorId,
                                                        std::uint16_t productId) {
  return {18, 1, 0x00, 0x02,  // USB 2.0
          0, 0, 0, 64,        // class in the interface; 64-byte control pipe
          Low(vendorId), High(vendorId), Low(productId), High(productId),
          0x00, 0x01, 0, 0, 0, 1};  // release 1.00, no strings, one configuration
}

// Configuration 1: interface 0 (printer class, bidirectional) with its two bulk endpoints.
constexpr std::array<std::uint8_t, 32> kConfigurationDescriptor{
    9, 2, 32, 0, 1, 1, 0, 0xC0, 50,
    9, 4, 0, 0, 2, 0x07, 0x01, 0x02, 0,
    7, 5, kOutEndpoint, 0x02, 0x00, 0x02, 0,
    7, 5, kInEndpoint, 0x02, 0x00, 0x02, 0};
// clang-format on

IoResult CopyOut(std::span<const std::uint8_t> reply, std::span<std::uint8_t> out) {
  const std::size_t count = std::min(reply.size(), out.size());
  std::copy_n(reply.begin(), count, out.begin());
  return IoResult::Done(static_cast<std::uint32_t>(count));
}

class DeviceNode final : public Device {
 public:
  DeviceNode(std::shared_ptr<VirtualPrinter> printer, std::uint16_t vendorId,
             std::uint16_t productId)
      : printer_(std::move(printer)), deviceDescriptor_(DeviceDescriptor(vendorId, productId)) {}

  // The device handle carries no data; only pipes do.
  IoResult Write(std::span<const std::uint8_t> /*data*/) override {
    return IoResult::Failed(platform::kErrorInvalidFunction);
  }
  IoResult Read(std::span<std::uint8_t> /*buffer*/) override {
    return IoResult::Failed(platform::kErrorInvalidFunction);
  }

  IoResult IoControl(std::uint32_t code, std::span<const std::uint8_t> in,
                     std::span<std::uint8_t> out) override {
    switch (code) {
      case driver::kIoctlResetDevice:
        return IoResult::Done();
      case driver::kIoctlControlIn:
      case driver::kIoctlControlOut:
        return Control(code == driver::kIoctlControlIn, in, out);
      case driver::kIoctlGetDescriptor:
        return Descriptor(in, out);
      case driver::kIoctlCheck:
        return CopyOut(std::array{kPortStatusReady}, out);
      default:
        return IoResult::Failed(platform::kErrorInvalidFunction);
    }
  }

 private:
  IoResult Control(bool deviceToHost, std::span<const std::uint8_t> in,
                   std::span<std::uint8_t> out) {
    const auto header = driver::DecodeControlHeader(in);
    if (!header || (deviceToHost && in.size() != driver::kControlHeaderSize)) {
      return IoResult::Failed(platform::kErrorInvalidParameter);
    }
    const auto requestType = driver::RequestTypeOf(header->function, deviceToHost);
    if (!requestType) {
      return IoResult::Failed(platform::kErrorInvalidParameter);
    }
    // Interface 0 is the printer's only interface (wIndex: interface in the high byte).
    const bool printerInterface = (header->index >> 8) == 0;
    if (*requestType == kClassInterfaceIn && printerInterface) {
      if (header->request == kGetDeviceId) {
        return CopyOut(WithLengthBytes(printer_->DeviceId()), out);
      }
      if (header->request == kGetPortStatus) {
        return CopyOut(std::array{kPortStatusReady}, out);
      }
    }
    if (*requestType == kClassInterfaceOut && printerInterface && header->request == kSoftReset) {
      return IoResult::Done();
    }
    return IoResult::Failed(kStall);
  }

  IoResult Descriptor(std::span<const std::uint8_t> in, std::span<std::uint8_t> out) const {
    if (in.size() != driver::kDescriptorRequestSize || in[1] != 0) {
      return IoResult::Failed(platform::kErrorInvalidParameter);
    }
    if (in[0] == driver::kDeviceDescriptorType) {
      return CopyOut(deviceDescriptor_, out);
    }
    if (in[0] == driver::kConfigurationDescriptorType) {
      return CopyOut(kConfigurationDescriptor, out);
    }
    return IoResult::Failed(kStall);
  }

  std::shared_ptr<VirtualPrinter> printer_;
  std::array<std::uint8_t, 18> deviceDescriptor_;
};

class BulkPipe final : public Device {
 public:
  BulkPipe(std::shared_ptr<VirtualPrinter> printer, bool toPrinter)
      : printer_(std::move(printer)), toPrinter_(toPrinter) {}

  IoResult Write(std::span<const std::uint8_t> data) override {
    return toPrinter_ ? printer_->Write(data) : IoResult::Failed(platform::kErrorInvalidFunction);
  }
  IoResult Read(std::span<std::uint8_t> buffer) override {
    return toPrinter_ ? IoResult::Failed(platform::kErrorInvalidFunction) : printer_->Read(buffer);
  }
  IoResult IoControl(std::uint32_t code, std::span<const std::uint8_t> /*in*/,
                     std::span<std::uint8_t> /*out*/) override {
    return code == driver::kIoctlResetPipe ? IoResult::Done()
                                           : IoResult::Failed(platform::kErrorInvalidFunction);
  }

 private:
  std::shared_ptr<VirtualPrinter> printer_;
  bool toPrinter_;
};

}  // namespace

PrinterOnMakerUsb::PrinterOnMakerUsb(const std::shared_ptr<VirtualPrinter>& printer,
                                     std::uint16_t vendorId, std::uint16_t productId)
    : path_(platform::usbnames::InterfacePath(vendorId, productId, "sim0001",
                                              platform::usbnames::kBridgeClass)),
      node_(std::make_shared<DeviceNode>(printer, vendorId, productId)),
      pipes_{std::make_shared<BulkPipe>(printer, true),
             std::make_shared<BulkPipe>(printer, false)} {}

std::shared_ptr<Device> PrinterOnMakerUsb::Pipe(std::uint8_t number) const {
  return number < kPipeCount ? pipes_[number] : nullptr;
}

}  // namespace sim
