// What printer connections this machine has, for a technician choosing the settings: the USB
// printers (with or without a kernel driver), the parallel ports and the serial ports, each
// with whether this user may open it. Looks at the real machine, never the simulated one.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/Services.h"

namespace platform {

struct UsbPrinterEntry {
  std::uint16_t vendorId = 0;
  std::uint16_t productId = 0;
  std::string manufacturer;
  std::string product;
  std::string serial;
  std::string node;        // the kernel's printer node (/dev/usb/lpN), empty without a driver
  std::string usbfsNode;   // /dev/bus/usb/BBB/DDD, what libusb opens without a kernel driver
  std::string devicePath;  // the path the port library's device search finds it by
  bool accessible = false;
  std::string reason;    // why this user may not open it
  std::string deviceId;  // the IEEE 1284 device ID text, empty when it could not be read
};

struct PortEntry {
  std::string node;
  bool accessible = false;
  std::string reason;
};

struct DeviceListing {
  std::vector<UsbPrinterEntry> usbPrinters;
  std::vector<PortEntry> parallelPorts;
  std::vector<PortEntry> serialPorts;
};

ZARNIK_PLATFORM_API DeviceListing ListDevices();

}  // namespace platform
