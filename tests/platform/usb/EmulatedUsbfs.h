// USB devices that libusb drives on an emulated device tree (umockdev): each device has its
// sysfs entries with the binary descriptors libusb reads, and a usbfs node whose ioctls (claims,
// kernel driver hand-over, URBs, resets) are answered here, so the Linux backend's libusb code
// runs unchanged. libusb keeps one context for the process and follows devices by their
// uevents, so every device goes into the one testbed of the process and is unplugged again
// (with its uevent) when it is destroyed. The test binary runs under umockdev's preload
// library.
#pragma once

#include <umockdev.h>

#include <array>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <mutex>
#include <string>
#include <vector>

#include "sim/printer/VirtualPrinter.h"

namespace usb_test {

struct EndpointLayout {
  std::uint8_t address = 0x01;  // bit 7: IN
  std::uint8_t attributes = 2;  // bulk
  std::uint16_t maxPacket = 512;
};

struct UsbDeviceLayout {
  std::uint16_t vendorId = 0x04B8;
  std::uint16_t productId = 0x0005;
  std::uint8_t interfaceClass = 7;  // printer
  std::vector<EndpointLayout> endpoints = {{0x01, 2, 512}, {0x82, 2, 512}};
  // When not empty, interface 0 offers these endpoints as its setting 0 (send-only printers
  // use protocol 1) and the ones above as setting 1.
  std::vector<EndpointLayout> firstSetting;
  std::string deviceId = "MFG:Zarnik;MDL:QX4410;CLS:PRINTER;";
  bool kernelDriver = false;            // a kernel driver (usblp) holds interface 0 until detached
  bool idLengthCountsTextOnly = false;  // the ID's length field leaves out its own two bytes
};

// The testbed of the process, made on first use (before libusb first looks at the machine).
UMockdevTestbed* SharedTestbed();

class EmulatedUsbDevice {
 public:
  explicit EmulatedUsbDevice(UsbDeviceLayout layout = {});
  ~EmulatedUsbDevice();  // unplugs it
  EmulatedUsbDevice(const EmulatedUsbDevice&) = delete;
  EmulatedUsbDevice& operator=(const EmulatedUsbDevice&) = delete;

  const std::string& Port() const { return port_; }  // the sysfs name, "1-N"

  // One reply per IN transfer; with none queued (and no virtual printer) the device is silent.
  void QueueReply(std::vector<std::uint8_t> reply);
  // From now on bulk data goes to this printer and replies come from it.
  void Attach(sim::VirtualPrinter* printer);
  // The next transfer is taken and never completes: the device is unplugged meanwhile.
  void UnplugOnNextTransfer();
  // Another program has claimed the interfaces.
  void ClaimElsewhere();
  // Bulk OUT endpoints stall every transfer until a clear-halt, as a halted endpoint does.
  void HaltOut();
  // Waits (10 s at most) until an IN transfer waits for a reply; false if none came.
  bool WaitForWaitingRead();

  std::vector<std::uint8_t> Received();
  std::vector<std::array<std::uint8_t, 8>> Setups();  // control requests, in order
  std::vector<std::uint8_t> ControlData();            // what host-to-device requests sent
  // "claim 0", "release 0", "detach 0", "attach 0", "clear-halt 82", "reset", in order.
  std::vector<std::string> Events();

  // Called on umockdev's thread.
  bool HandleIoctl(UMockdevIoctlClient* client);

 private:
  bool Submit(UMockdevIoctlClient* client, UMockdevIoctlData* arg);
  bool Reap(UMockdevIoctlClient* client, UMockdevIoctlData* arg);
  void Control(UMockdevIoctlData* urb, UMockdevIoctlData* buffer);
  bool FillIn(UMockdevIoctlData* urb, UMockdevIoctlData* buffer);

  struct Urb {
    UMockdevIoctlData* urb;
    UMockdevIoctlData* buffer;
  };

  const UsbDeviceLayout layout_;
  std::string port_;
  std::string syspath_;
  std::string node_;
  std::vector<std::uint8_t> descriptors_;
  UMockdevIoctlBase* handler_;

  std::mutex mutex_;
  std::condition_variable readWaiting_;
  std::deque<std::vector<std::uint8_t>> replies_;
  sim::VirtualPrinter* printer_ = nullptr;
  std::vector<std::uint8_t> received_;
  std::vector<std::array<std::uint8_t, 8>> setups_;
  std::vector<std::uint8_t> controlData_;
  std::vector<std::string> events_;
  std::deque<Urb> done_;       // to be reaped
  std::deque<Urb> waitingIn_;  // IN transfers waiting for a reply; any transfer once unplugged
  bool driverBound_ = false;
  bool claimedElsewhere_ = false;
  bool unplugNext_ = false;
  bool gone_ = false;
  bool outHalted_ = false;
};

}  // namespace usb_test
