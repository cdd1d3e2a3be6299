#include "linux/UsbPrinterLibusb.h"

#include <algorithm>
#include <cstdio>
#include <vector>

#include "linux/ErrorCodes.h"
#include "linux/LibusbDevice.h"
#include "linux/ParallelIo.h"
#include "linux/UsbFailure.h"
#include "linux/UsbPrinterNode.h"
#include "platform/FailureReason.h"
#include "platform/WinApi.h"

namespace platform::linux_backend {

namespace {

constexpr int kPrinterClass = 7;
constexpr std::uint8_t kGetDeviceIdRequestType = 0xA1;  // class, interface, device to host
constexpr std::uint8_t kGetDeviceId = 0;
constexpr unsigned kControlTimeoutMs = 5000;
constexpr std::uint32_t kBulkChunk = 64 * 1024;

class LibusbPrinter final : public DeviceLink {
 public:
  LibusbPrinter(std::unique_ptr<LibusbDevice> device, BulkEndpoints endpoints)
      : device_(std::move(device)), endpoints_(endpoints) {}

  bool Write(const std::uint8_t* data, std::uint32_t length, std::uint32_t& count) override {
    count = 0;
    std::vector<std::uint8_t> chunk;
    while (count < length) {
      const std::uint32_t size = std::min(length - count, kBulkChunk);
      chunk.assign(data + count, data + count + size);
      std::uint32_t done = 0;
      const bool ok = device_->Bulk(endpoints_.out, chunk.data(), size, done,
                                    static_cast<unsigned>(kWriteStallMs));
      count += done;
      // A time-out after some bytes is progress; one after none is a stalled printer.
      if (!ok && !(LastError() == kErrorSemTimeout && done > 0)) {
        NoteUsbTransferFailure(device_->Name());
        return false;
      }
    }
    SetLastErrorCode(kErrorSuccess);
    return true;
  }

  bool Read(std::uint8_t* buffer, std::uint32_t length, std::uint32_t& count) override {
    count = TakePending(buffer, length);
    if (endpoints_.in == 0) {  // a printer without a way back answers nothing
      SetLastErrorCode(kErrorSuccess);
      return true;
    }
    const std::uint32_t packet = std::max<std::uint32_t>(endpoints_.maxPacketIn, 1);
    std::vector<std::uint8_t> incoming;
    while (count < length) {
      // Whole packets are asked for, so that a packet never overflows the request.
      const std::uint32_t wanted = (length - count + packet - 1) / packet * packet;
      incoming.resize(wanted);
      std::uint32_t done = 0;
      const unsigned wait = static_cast<unsigned>(count == 0 ? kReadFirstByteMs : kReadGapMs);
      const bool ok = device_->Bulk(endpoints_.in, incoming.data(), wanted, done, wait);
      const std::uint32_t used = std::min(done, length - count);
      std::copy_n(incoming.begin(), used, buffer + count);
      pending_.insert(pending_.end(), incoming.begin() + used, incoming.begin() + done);
      count += used;
      if (!ok && LastError() != kErrorSemTimeout) {
        NoteUsbTransferFailure(device_->Name());
        return false;
      }
      if (!ok || done == 0) {
        break;  // silence: the reply has ended, or none came
      }
    }
    SetLastErrorCode(kErrorSuccess);
    return true;
  }

  bool DeviceId(std::uint8_t* out, std::uint32_t outLength, std::uint32_t& count) override {
    count = 0;
    // The length field, a text one byte longer than fits, and its end.
    const auto size = static_cast<std::uint16_t>(std::min<std::uint32_t>(outLength + 4, 0xFFFF));
    std::vector<std::uint8_t> reply(size, 0);
    std::uint32_t done = 0;
    const auto index =
        static_cast<std::uint16_t>((endpoints_.interfaceNumber << 8) | endpoints_.alternateSetting);
    if (!device_->Control(kGetDeviceIdRequestType, kGetDeviceId, 0, index, reply.data(), size, done,
                          kControlTimeoutMs)) {
      NoteUsbTransferFailure(device_->Name());
      return false;
    }
    const std::uint32_t error = DeviceIdFromDriverReply(reinterpret_cast<const char*>(reply.data()),
                                                        done, out, outLength, count);
    SetLastErrorCode(error);
    return error == kErrorSuccess;
  }

 private:
  std::uint32_t TakePending(std::uint8_t* buffer, std::uint32_t length) {
    const auto taken = static_cast<std::uint32_t>(std::min<std::size_t>(pending_.size(), length));
    std::copy_n(pending_.begin(), taken, buffer);
    pending_.erase(pending_.begin(), pending_.begin() + taken);
    return taken;
  }

  std::unique_ptr<LibusbDevice> device_;
  BulkEndpoints endpoints_;
  std::vector<std::uint8_t> pending_;  // bytes of a packet that did not fit the last read
};

}  // namespace

std::unique_ptr<DeviceLink> OpenUsbPrinterThroughLibusb(const UsbDeviceInfo& device) {
  std::string name = device.usbfsNode;
  if (name.empty()) {
    char text[48];
    std::snprintf(text, sizeof text, "USB bus %d device %d", device.busNumber, device.address);
    name = text;
  }
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
