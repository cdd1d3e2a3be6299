// The machine's USB devices as sysfs describes them (through libudev): ids, strings, the
// usbfs node, the printer-class interface and the kernel's printer node (/dev/usb/lpN) bound
// to it. Nothing here opens a device.
//
// Each device gets paths in the form the device search expects of Windows,
//   \\?\usb#vid_04b8&pid_0005#<instance>#{interface class GUID}
// where <instance> is the device's serial number (characters other than letters, digits,
// '-', '.' and '_' made '_'), or "port-" and its port path (such as "port-1-1.2") when it
// has none. These stay the same when the printer is plugged in again (on the same port, for
// one without a serial number), whichever lpN the kernel gives it this time. The USB bridge's
// class names a device by its port path alone ("1-1.2"), which no two devices share.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace platform::linux_backend {

// The two interface classes of the device search, and the USB bridge's.
enum class UsbClass { kPrintingSupport, kUsbDevice, kBridge };

struct UsbDeviceInfo {
  std::string portPath;  // the sysfs name: "1-1.2"
  std::uint16_t vendorId = 0;
  std::uint16_t productId = 0;
  std::string manufacturer;
  std::string product;
  std::string serial;
  int busNumber = 0;
  int address = 0;
  std::string usbfsNode;               // /dev/bus/usb/BBB/DDD
  int printerInterface = -1;           // bInterfaceNumber of the printer-class interface, or -1
  std::string printerNode;             // /dev/usb/lpN bound to that interface, or empty
  std::string ieee1284Id;              // the printer node's cached device ID (sysfs), or empty
  std::map<int, int> currentSettings;  // bInterfaceNumber -> its alternate setting in use
};

// Every USB device present, in sysfs order. Empty when udev cannot be asked.
std::vector<UsbDeviceInfo> ListUsbDevices();

// The devices a search class lists: printers with a kernel node, every device, or the devices
// the USB bridge serves (BridgeServedDevices.h).
std::vector<UsbDeviceInfo> DevicesOfClass(UsbClass usbClass);

std::string InstanceName(const UsbDeviceInfo& device);
// How failure reasons name the device: its usbfs node, or its bus and address.
std::string NodeName(const UsbDeviceInfo& device);
// "USB\VID_04B8&PID_0005\<instance>", the device instance of the registry.
std::string DeviceInstance(const UsbDeviceInfo& device);
// The device interface path of the device in a class (see above).
std::string InterfacePath(const UsbDeviceInfo& device, UsbClass usbClass);
// "{28d78fad-...}", "{a5dcbf10-...}" or "{ddf29561-...}".
std::string_view ClassGuidText(UsbClass usbClass);

bool SameTextNoCase(std::string_view a, std::string_view b);

}  // namespace platform::linux_backend
