#include "linux/UsbDeviceTree.h"

#include <libudev.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <memory>

#include "linux/BridgeServedDevices.h"
#include "platform/UsbInterfaceNames.h"

namespace platform::linux_backend {

namespace {

constexpr int kPrinterClass = 7;

struct UdevDeleter {
  void operator()(udev* u) const { udev_unref(u); }
  void operator()(udev_enumerate* e) const { udev_enumerate_unref(e); }
  void operator()(udev_device* d) const { udev_device_unref(d); }
};
template <typename T>
using UdevPtr = std::unique_ptr<T, UdevDeleter>;

std::string Attribute(udev_device* device, const char* name) {
  const char* value = udev_device_get_sysattr_value(device, name);
  std::string text = value != nullptr ? value : "";
  while (!text.empty() && std::isspace(static_cast<unsigned char>(text.back())) != 0) {
    text.pop_back();
  }
  return text;
}

long Number(const std::string& text, int base) {
  char* end = nullptr;
  const long value = std::strtol(text.c_str(), &end, base);
  return end != text.c_str() ? value : -1;
}

// The syspaths of the subsystem's devices.
std::vector<std::string> Scan(udev* context, const char* subsystem) {
  std::vector<std::string> paths;
  UdevPtr<udev_enumerate> enumerate(udev_enumerate_new(context));
  if (enumerate == nullptr || udev_enumerate_add_match_subsystem(enumerate.get(), subsystem) < 0 ||
      udev_enumerate_scan_devices(enumerate.get()) < 0) {
    return paths;
  }
  udev_list_entry* entry = nullptr;
  udev_list_entry_foreach(entry, udev_enumerate_get_list_entry(enumerate.get())) {
    paths.emplace_back(udev_list_entry_get_name(entry));
  }
  return paths;
}

std::string ParentPath(udev_device* device) {
  udev_device* parent = udev_device_get_parent(device);  // owned by device
  const char* path = parent != nullptr ? udev_device_get_syspath(parent) : nullptr;
  return path != nullptr ? path : "";
}

}  // namespace

std::vector<UsbDeviceInfo> ListUsbDevices() {
  UdevPtr<udev> context(udev_new());
  if (context == nullptr) {
    return {};
  }
  std::vector<UsbDeviceInfo> devices;
  std::map<std::string, std::size_t> bySyspath;
  // Printer interfaces by syspath: the device's syspath and the interface number.
  std::map<std::string, std::pair<std::string, int>> printerInterfaces;
  struct Setting {
    std::string owner;
    int interfaceNumber;
    int alternateSetting;
  };
  std::vector<Setting> settings;
  for (const std::string& path : Scan(context.get(), "usb")) {
    UdevPtr<udev_device> device(udev_device_new_from_syspath(context.get(), path.c_str()));
    if (device == nullptr) {
      continue;
    }
    const char* type = udev_device_get_devtype(device.get());
    const std::string devtype = type != nullptr ? type : "";
    if (devtype == "usb_interface") {
      const auto number = static_cast<int>(Number(Attribute(device.get(), "bInterfaceNumber"), 16));
      const long setting = Number(Attribute(device.get(), "bAlternateSetting"), 10);
      settings.push_back(
          {ParentPath(device.get()), number, setting > 0 ? static_cast<int>(setting) : 0});
      if (Number(Attribute(device.get(), "bInterfaceClass"), 16) == kPrinterClass) {
        printerInterfaces[path] = {ParentPath(device.get()), number};
      }
      continue;
    }
    if (devtype != "usb_device") {
      continue;
    }
    UsbDeviceInfo info;
    const char* name = udev_device_get_sysname(device.get());
    info.portPath = name != nullptr ? name : "";
    info.vendorId = static_cast<std::uint16_t>(Number(Attribute(device.get(), "idVendor"), 16));
    info.productId = static_cast<std::uint16_t>(Number(Attribute(device.get(), "idProduct"), 16));
    info.manufacturer = Attribute(device.get(), "manufacturer");
    info.product = Attribute(device.get(), "product");
    info.serial = Attribute(device.get(), "serial");
    info.busNumber = static_cast<int>(Number(Attribute(device.get(), "busnum"), 10));
    info.address = static_cast<int>(Number(Attribute(device.get(), "devnum"), 10));
    const char* node = udev_device_get_devnode(device.get());
    info.usbfsNode = node != nullptr ? node : "";
    bySyspath[path] = devices.size();
    devices.push_back(std::move(info));
  }
  for (const Setting& setting : settings) {
    if (auto it = bySyspath.find(setting.owner); it != bySyspath.end()) {
      devices[it->second].currentSettings[setting.interfaceNumber] = setting.alternateSetting;
    }
  }
  for (const auto& [interfacePath, owner] : printerInterfaces) {
    auto it = bySyspath.find(owner.first);
    if (it != bySyspath.end() && devices[it->second].printerInterface < 0) {
      devices[it->second].printerInterface = owner.second;
    }
  }
  // The kernel's printer nodes hang below their interface.
  for (const std::string& path : Scan(context.get(), "usbmisc")) {
    UdevPtr<udev_device> node(udev_device_new_from_syspath(context.get(), path.c_str()));
    const char* devnode = node != nullptr ? udev_device_get_devnode(node.get()) : nullptr;
    const char* sysname = node != nullptr ? udev_device_get_sysname(node.get()) : nullptr;
    if (devnode == nullptr || sysname == nullptr ||
        std::string_view(sysname).substr(0, 2) != "lp") {
      continue;
    }
    udev_device* interface = udev_device_get_parent(node.get());
    const auto owner = interface != nullptr
                           ? printerInterfaces.find(udev_device_get_syspath(interface))
                           : printerInterfaces.end();
    if (owner == printerInterfaces.end()) {
      continue;
    }
    auto it = bySyspath.find(owner->second.first);
    if (it != bySyspath.end()) {
      devices[it->second].printerNode = devnode;
      devices[it->second].printerInterface = owner->second.second;
      devices[it->second].ieee1284Id = Attribute(interface, "ieee1284_id");
    }
  }
  return devices;
}

std::vector<UsbDeviceInfo> DevicesOfClass(UsbClass usbClass) {
  if (usbClass == UsbClass::kBridge) {
    return BridgeServedDevices();
  }
  std::vector<UsbDeviceInfo> devices = ListUsbDevices();
  if (usbClass == UsbClass::kPrintingSupport) {
    std::erase_if(devices, [](const UsbDeviceInfo& d) { return d.printerNode.empty(); });
  }
  return devices;
}

std::string InstanceName(const UsbDeviceInfo& device) {
  if (device.serial.empty()) {
    return "port-" + device.portPath;
  }
  std::string name = device.serial;
  for (char& c : name) {
    const bool plain =
        std::isalnum(static_cast<unsigned char>(c)) != 0 || c == '-' || c == '.' || c == '_';
    if (!plain) {
      c = '_';
    }
  }
  return name;
}

std::string NodeName(const UsbDeviceInfo& device) {
  if (!device.usbfsNode.empty()) {
    return device.usbfsNode;
  }
  char text[48];
  std::snprintf(text, sizeof text, "USB bus %d device %d", device.busNumber, device.address);
  return text;
}

std::string DeviceInstance(const UsbDeviceInfo& device) {
  return usbnames::DeviceInstance(device.vendorId, device.productId, InstanceName(device));
}

std::string_view ClassGuidText(UsbClass usbClass) {
  switch (usbClass) {
    case UsbClass::kPrintingSupport:
      return usbnames::kPrintingSupportClass;
    case UsbClass::kUsbDevice:
      return usbnames::kUsbDeviceClass;
    case UsbClass::kBridge:
      break;
  }
  return usbnames::kBridgeClass;
}

std::string InterfacePath(const UsbDeviceInfo& device, UsbClass usbClass) {
  return usbnames::InterfacePath(
      device.vendorId, device.productId,
      usbClass == UsbClass::kBridge ? device.portPath : InstanceName(device),
      ClassGuidText(usbClass));
}

bool SameTextNoCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return std::tolower(static_cast<unsigned char>(x)) ==
                  std::tolower(static_cast<unsigned char>(y));
         });
}

}  // namespace platform::linux_backend
