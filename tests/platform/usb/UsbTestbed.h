// USB printers on an emulated device tree (umockdev): sysfs entries for the device, its
// printer interface and the kernel's printer node, and a printer behind /dev/usb/lpN that
// answers reads, writes and the device-ID request from the test's side. The test binary runs
// under umockdev's preload library, which routes /sys and /dev to the testbed.
#pragma once

#include <umockdev.h>

#include <cstdint>
#include <deque>
#include <mutex>
#include <string>
#include <vector>

#include "sim/printer/VirtualPrinter.h"

namespace usb_test {

// What the printer behind a node does; the handlers run on umockdev's own thread.
struct FakePrinter {
  std::mutex mutex;
  std::vector<std::uint8_t> received;
  std::deque<std::vector<std::uint8_t>> replies;  // one per read
  std::string deviceId;                           // sent with its big-endian length field
  std::size_t writeLimit = SIZE_MAX;              // bytes taken per write at most
  bool stalled = false;                           // takes no bytes
  bool gone = false;                              // every call fails as unplugged
  // When set, writes go to this printer and reads fetch its replies instead.
  sim::VirtualPrinter* virtualPrinter = nullptr;

  std::vector<std::uint8_t> Received() {
    std::lock_guard lock(mutex);
    return received;
  }
};

struct PrinterLayout {
  std::string port = "1-1";  // sysfs name of the device
  std::uint16_t vendorId = 0x04B8;
  std::uint16_t productId = 0x0005;
  std::string serial = "SN0001";
  std::string manufacturer = "Zarnik";
  std::string product = "QX4410";
  int lpNumber = 0;  // the node /dev/usb/lpN; -1: no kernel driver bound
  std::string ieee1284Id = "MFG:Zarnik;MDL:QX4410;CMD:PJL;CLS:PRINTER;SN:SN0001;";
};

class UsbTestbed {
 public:
  UsbTestbed();
  ~UsbTestbed();
  UsbTestbed(const UsbTestbed&) = delete;
  UsbTestbed& operator=(const UsbTestbed&) = delete;

  // Adds the device with its printer interface and, unless layout.lpNumber is -1, its printer
  // node with printer behind it; returns the node path (empty without one).
  std::string AddPrinter(const PrinterLayout& layout, FakePrinter* printer);
  // A USB device that is no printer (a hub, a mouse).
  void AddOtherDevice(const std::string& port, std::uint16_t vendorId, std::uint16_t productId);
  // Takes the device and its children out of sysfs.
  void Remove(const std::string& port);

 private:
  std::string AddUsbDevice(const PrinterLayout& layout);
  void MakeNodeFile(const std::string& node);

  UMockdevTestbed* testbed_;
  std::vector<std::pair<std::string, std::string>> devices_;  // port, syspath
  std::vector<GObject*> handlers_;
};

}  // namespace usb_test
