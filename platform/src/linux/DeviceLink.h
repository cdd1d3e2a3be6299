// A device reached through something other than plain file calls on its descriptor (a USB
// printer node with its own waits and I/O controls, a USB device through libusb). A handle
// whose OpenFile holds a link sends its reads, writes and device I/O controls here. Each call
// sets the last error; a failure that a technician can act on is noted as a failure reason.
#pragma once

#include <cstdint>
#include <string>

#include "linux/ErrorCodes.h"
#include "platform/WinApi.h"

namespace platform::linux_backend {

class DeviceLink {
 public:
  DeviceLink() = default;
  DeviceLink(const DeviceLink&) = delete;
  DeviceLink& operator=(const DeviceLink&) = delete;
  virtual ~DeviceLink() = default;

  // The device as failure reasons name it.
  virtual std::string Name() const = 0;

  // Up to length bytes: waits a bounded time for the first, ends after a short silence.
  // True with the bytes that came (maybe none) unless the device fails.
  virtual bool Read(std::uint8_t* buffer, std::uint32_t length, std::uint32_t& count) = 0;
  // Every byte, or false (kErrorSemTimeout when the device takes nothing for the time-out).
  virtual bool Write(const std::uint8_t* data, std::uint32_t length, std::uint32_t& count) = 0;
  // IOCTL_PAR_QUERY_DEVICE_ID: the IEEE 1284 device ID text without its length field.
  virtual bool DeviceId(std::uint8_t* /*out*/, std::uint32_t /*outLength*/, std::uint32_t& count) {
    return Unsupported(count);
  }
  // Any other device I/O control; count is the bytes given back in out.
  virtual bool IoControl(std::uint32_t /*code*/, const std::uint8_t* /*in*/,
                         std::uint32_t /*inLength*/, std::uint8_t* /*out*/,
                         std::uint32_t /*outLength*/, std::uint32_t& count) {
    return Unsupported(count);
  }

 protected:
  static bool Unsupported(std::uint32_t& count) {
    count = 0;
    SetLastErrorCode(kErrorNotSupported);
    return false;
  }
};

}  // namespace platform::linux_backend
