#include "linux/UsbPrinterLibusb.h"

#include <algorithm>
#include <vector>

#include "linux/DeviceId.h"
#include "linux/ErrorCodes.h"
#include "linux/LibusbBulk.h"
#include "linux/LibusbDevice.h"
#include "linux/UsbFailure.h"
#include "linux/UsbPrinterNode.h"
#include "platform/FailureReason.h"
#include "platform/WinApi.h"

namespace platform::linux_backend {

namespace {

constexpr int kPrinterClass = 7;
constexpr std::uint8_t kGetDeviceIdRequestType = 0xA1;  // class, interface, device to host
constexpr std::uint8_t kGetDeviceId = 0;

class LibusbPrinter final : public DeviceLink {
 public:
  LibusbPrinter(std::unique_ptr<LibusbDevice> device, BulkEndpoints endpoints)
      : device_(std::move(device)),
        endpoints_(endpoints),
        reader_(endpoints.in, endpoints.maxPacketIn) {}

  std::string Name() const override { return device_->Name(); }

  bool Write(const std::uint8_t* data, std::uint32_t length, std::uint32_t& count) override {
    return WriteBulk(*device_, endpoints_.out, data, length, count);
  }

  bool Read(std::uint8_t* buffer, std::uint32_t length, std::uint32_t& count) override {
    if (endpoints_.in == 0) {  // a printer without a way back answers nothing
      count = 0;
      SetLastErrorCode(kErrorSuccess);
      return true;
    }
    return reader_.Read(*device_, buffer, length, count, true);
  }

  bool DeviceId(std::uint8_t* out, std::uint32_t outLength, std::uint32_t& count) override {
    const auto error =
        ReadPrinterDeviceId(*device_, endpoints_, out, outLength, count, kControlTimeoutMs);
    if (!error) {
      NoteUsbTransferFailure(device_->Name());
      return false;
    }
    SetLastErrorCode(*error);
    return *error == kErrorSuccess;
  }

 private:
  std::unique_ptr<LibusbDevice> device_;
  BulkEndpoints endpoints_;
  BulkReader reader_;
};

}  // namespace

std::optional<std::uint32_t> ReadPrinterDeviceId(LibusbDevice& device,
                                                 const BulkEndpoints& endpoints, std::uint8_t* out,
                                                 std::uint32_t outLength, std::uint32_t& count,
                                                 unsigned timeoutMs) {
  count = 0;
  // The length field, a text one byte longer than fits, and its end, within what libusb
  // carries in one control transfer (counted wide, so that a room near 4 GiB cannot wrap).
  const auto size = static_cast<std::uint16_t>(
      std::min<std::uint64_t>(std::uint64_t{outLength} + 4, std::uint64_t{kMaxControlData}));
  std::vector<std::uint8_t> reply(size, 0);
  std::uint32_t done = 0;
  const auto index =
      static_cast<std::uint16_t>((endpoints.interfaceNumber << 8) | endpoints.alternateSetting);
  if (!device.Control(kGetDeviceIdRequestType, kGetDeviceId, 0, index, reply.data(), size, done,
                      timeoutMs)) {
    return std::nullopt;
  }
  // libusb says exactly how many bytes came, so the text ends at its zero or there; the
  // reply's own length field, often wrong, is not needed.
  return CopyDeviceIdText(reinterpret_cast<const char*>(reply.data()), done, out, outLength, count);
}

std::unique_ptr<DeviceLink> OpenUsbPrinterThroughLibusb(const UsbDeviceInfo& device) {
  const std::string name = NodeName(device);
  auto opened = LibusbDevice::Open(device.busNumber, device.address, name);
  if (opened == nullptr) {
    return nullptr;
  }
  const auto endpoints = opened->FindBulkInterface(kPrinterClass, device.printerInterface);
  if (!endpoints || endpoints->out == 0) {
    SetLastErrorCode(kErrorNotSupported);
    NoteFailureReason(
        {FailureKind::kAccessMethod, name, "It has no printer interface to send to."});
    return nullptr;
  }
  if (!opened->Claim(*endpoints)) {
    return nullptr;
  }
  return std::make_unique<LibusbPrinter>(std::move(opened), *endpoints);
}

}  // namespace platform::linux_backend
