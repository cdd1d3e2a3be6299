// USB devices through libusb-1.0, for whatever needs one without a kernel driver of its own:
// the printer whose printer interface has no kernel node, and the devices the USB bridge
// serves. Opens a device by its bus and address, claims interfaces (detaching a kernel driver
// that holds one and giving the interface back to that driver when it is released), and moves
// data by bulk and control transfers whose waits are all bounded. Transfers on one device may
// run from several threads at once. Failures set the last error: a device that went away is
// kErrorDeviceNotConnected, a wait that ran out kErrorSemTimeout.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

struct libusb_device_handle;

namespace platform::linux_backend {

// The longest wait for a control transfer to complete.
inline constexpr unsigned kControlTimeoutMs = 5000;
// The most data libusb carries in one control transfer on Linux; it refuses a larger one.
inline constexpr std::uint32_t kMaxControlData = 4096;

// The last error for a libusb result code.
std::uint32_t ErrorFromLibusb(int code);

// An interface's bulk endpoints (0 when it has none in that direction).
struct BulkEndpoints {
  int interfaceNumber = -1;
  int alternateSetting = 0;
  std::uint8_t out = 0;
  std::uint8_t in = 0;
  std::uint16_t maxPacketIn = 64;
};

// One endpoint descriptor of an interface setting.
struct EndpointInfo {
  std::uint8_t address = 0;     // bit 7 set: IN (device to host)
  std::uint8_t attributes = 0;  // bits 0-1: the transfer type
  std::uint16_t maxPacket = 64;
};

class LibusbDevice {
 public:
  // Null, with the last error set and the reason noted against name, when the device is not
  // there or cannot be opened.
  static std::unique_ptr<LibusbDevice> Open(int busNumber, int address, const std::string& name);

  ~LibusbDevice();
  LibusbDevice(const LibusbDevice&) = delete;
  LibusbDevice& operator=(const LibusbDevice&) = delete;

  // The first alternate setting of the interface with the given class (and the interface
  // number when it is not -1) that has bulk endpoints both ways, else the first that has a
  // bulk endpoint; none when there is no such one.
  std::optional<BulkEndpoints> FindBulkInterface(int interfaceClass, int interfaceNumber) const;
  // Claims the interface and selects the setting; the interface is released on destruction.
  bool Claim(const BulkEndpoints& endpoints);
  // Claims an interface as it is set now, detaching a kernel driver that holds it; the
  // reason is noted when another program has it. Released by ReleaseInterface or on
  // destruction, when the kernel driver gets it back.
  bool ClaimInterface(int interfaceNumber);
  void ReleaseInterface(int interfaceNumber);
  // The endpoints of an interface setting in descriptor order; none when the active
  // configuration has no such setting.
  std::optional<std::vector<EndpointInfo>> EndpointsOf(int interfaceNumber,
                                                       int alternateSetting) const;

  // One bulk transfer; done counts the bytes moved even when it failed or ran out of time.
  bool Bulk(std::uint8_t endpoint, std::uint8_t* data, std::uint32_t length, std::uint32_t& done,
            unsigned timeoutMs);
  // One control transfer (the direction is bit 7 of requestType).
  bool Control(std::uint8_t requestType, std::uint8_t request, std::uint16_t value,
               std::uint16_t index, std::uint8_t* data, std::uint16_t length, std::uint32_t& done,
               unsigned timeoutMs);
  // Clears an endpoint's halt; resets the device (claimed interfaces are claimed again).
  bool ClearHalt(std::uint8_t endpoint);
  bool Reset();

  const std::string& Name() const { return name_; }

 private:
  LibusbDevice(libusb_device_handle* handle, std::string name)
      : handle_(handle), name_(std::move(name)) {}
  bool Failed(int code);
  bool Done(int code);

  libusb_device_handle* handle_;
  std::string name_;
  std::mutex claimsMutex_;
  std::map<int, bool> claimed_;  // claimed interface -> taken from a kernel driver
};

}  // namespace platform::linux_backend
