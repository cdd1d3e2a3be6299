// A USB printer plugged into the simulated machine as Windows shows one: a device interface
// of the USB printing support and one of the USB device class, each with its registry entry
// naming the device instance "USB\VID_xxxx&PID_xxxx\serial", and the device both paths open.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "sim/Device.h"

namespace sim {

class Machine;

struct UsbIdentity {
  std::uint16_t vendorId = 0;
  std::uint16_t productId = 0;
  std::string serial = "ZARNIK0001";
};

enum class UsbInterfaceClass { kPrintingSupport, kUsbDevice };

// "\\?\usb#vid_xxxx&pid_xxxx#serial#{class guid}", the path the setup calls report.
std::string UsbInterfacePath(const UsbIdentity& identity, UsbInterfaceClass interfaceClass);

void PlugUsbPrinter(Machine& machine, const UsbIdentity& identity,
                    const std::shared_ptr<Device>& device);
// Takes the interfaces, registry entries and device away; open handles fail from then on.
void UnplugUsbPrinter(Machine& machine, const UsbIdentity& identity);

}  // namespace sim
