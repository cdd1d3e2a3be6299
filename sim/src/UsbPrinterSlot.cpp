#include "sim/UsbPrinterSlot.h"

#include <cstdio>

#include "sim/Machine.h"

namespace sim {

namespace {

constexpr const char* kDeviceClasses = R"(System\CurrentControlSet\Control\DeviceClasses\)";

const char* GuidText(UsbInterfaceClass interfaceClass) {
  return interfaceClass == UsbInterfaceClass::kPrintingSupport
             ? "{28d78fad-5a12-11d1-ae5b-0000f803a8c2}"
             : "{a5dcbf10-6530-11d2-901f-00c04fb951ed}";
}

const platform::Guid& GuidOf(UsbInterfaceClass interfaceClass) {
  return interfaceClass == UsbInterfaceClass::kPrintingSupport ? platform::kGuidUsbPrintingSupport
                                                               : platform::kGuidUsbDevice;
}

// The interface's registry key: the path with "\\?\" written "##?#".
std::string RegistryKey(const UsbIdentity& identity, UsbInterfaceClass interfaceClass) {
  std::string name = UsbInterfacePath(identity, interfaceClass);
  name[0] = name[1] = name[3] = '#';
  return std::string(kDeviceClasses) + GuidText(interfaceClass) + "\\" + name;
}

std::string DeviceInstance(const UsbIdentity& identity) {
  char ids[40];
  std::snprintf(ids, sizeof ids, R"(USB\VID_%04X&PID_%04X\)",
                static_cast<unsigned>(identity.vendorId),
                static_cast<unsigned>(identity.productId));
  return ids + identity.serial;
}

constexpr UsbInterfaceClass kBothClasses[] = {UsbInterfaceClass::kPrintingSupport,
                                              UsbInterfaceClass::kUsbDevice};

}  // namespace

std::string UsbInterfacePath(const UsbIdentity& identity, UsbInterfaceClass interfaceClass) {
  char ids[40];
  std::snprintf(ids, sizeof ids, R"(\\?\usb#vid_%04x&pid_%04x#)",
                static_cast<unsigned>(identity.vendorId),
                static_cast<unsigned>(identity.productId));
  return ids + identity.serial + "#" + GuidText(interfaceClass);
}

void PlugUsbPrinter(Machine& machine, const UsbIdentity& identity,
                    const std::shared_ptr<Device>& device) {
  for (const UsbInterfaceClass interfaceClass : kBothClasses) {
    const std::string path = UsbInterfacePath(identity, interfaceClass);
    machine.AttachDevice(path, device);
    machine.deviceInterfaces().Add(GuidOf(interfaceClass), path);
    machine.registry().SetString(RegistryKey(identity, interfaceClass), "DeviceInstance",
                                 DeviceInstance(identity));
  }
}

void UnplugUsbPrinter(Machine& machine, const UsbIdentity& identity) {
  for (const UsbInterfaceClass interfaceClass : kBothClasses) {
    const std::string path = UsbInterfacePath(identity, interfaceClass);
    machine.DetachDevice(path);
    machine.deviceInterfaces().Remove(path);
    machine.registry().RemoveKey(RegistryKey(identity, interfaceClass));
  }
}

}  // namespace sim
