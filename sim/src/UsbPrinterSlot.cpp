#include "sim/UsbPrinterSlot.h"

#include <string_view>

#include "platform/UsbInterfaceNames.h"
#include "sim/Machine.h"

namespace sim {

namespace {

std::string_view ClassText(UsbInterfaceClass interfaceClass) {
  return interfaceClass == UsbInterfaceClass::kPrintingSupport
             ? platform::usbnames::kPrintingSupportClass
             : platform::usbnames::kUsbDeviceClass;
}

const platform::Guid& GuidOf(UsbInterfaceClass interfaceClass) {
  return interfaceClass == UsbInterfaceClass::kPrintingSupport ? platform::kGuidUsbPrintingSupport
                                                               : platform::kGuidUsbDevice;
}

constexpr UsbInterfaceClass kBothClasses[] = {UsbInterfaceClass::kPrintingSupport,
                                              UsbInterfaceClass::kUsbDevice};

}  // namespace

std::string UsbInterfacePath(const UsbIdentity& identity, UsbInterfaceClass interfaceClass) {
  return platform::usbnames::InterfacePath(identity.vendorId, identity.productId, identity.serial,
                                           ClassText(interfaceClass));
}

void PlugUsbPrinter(Machine& machine, const UsbIdentity& identity,
                    const std::shared_ptr<Device>& device) {
  for (const UsbInterfaceClass interfaceClass : kBothClasses) {
    const std::string path = UsbInterfacePath(identity, interfaceClass);
    machine.AttachDevice(path, device);
    machine.deviceInterfaces().Add(GuidOf(interfaceClass), path);
    machine.registry().SetString(
        platform::usbnames::InterfaceKey(ClassText(interfaceClass), path), "DeviceInstance",
        platform::usbnames::DeviceInstance(identity.vendorId, identity.productId, identity.serial));
  }
}

void UnplugUsbPrinter(Machine& machine, const UsbIdentity& identity) {
  for (const UsbInterfaceClass interfaceClass : kBothClasses) {
    const std::string path = UsbInterfacePath(identity, interfaceClass);
    machine.DetachDevice(path);
    machine.deviceInterfaces().Remove(path);
    machine.registry().RemoveKey(platform::usbnames::InterfaceKey(ClassText(interfaceClass), path));
  }
}

}  // namespace sim
