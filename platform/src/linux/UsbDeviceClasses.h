// The device-interface enumeration and the DeviceClasses registry keys for USB devices: the
// USB printing support's class lists the printers the kernel has a printer node for, the USB
// device class lists every USB device, the USB bridge's class the devices it serves
// (UsbDeviceTree.h gives their paths; the bridge's class has no registry keys). The registry key
//   System\CurrentControlSet\Control\DeviceClasses\{class}\<interface path, \\?\ as ##?#>
// holds the value "DeviceInstance" = "USB\VID_xxxx&PID_xxxx\<instance>". Any other class
// lists nothing.
#pragma once

#include <cstdint>
#include <map>
#include <mutex>
#include <string>

#include "platform/DeviceInterfaceSets.h"
#include "platform/WinApi.h"

namespace platform::linux_backend {

class UsbDeviceClasses {
 public:
  // The setup calls (DeviceInterfaceSets): a set holds the paths of its class as the device
  // tree had them when it was made.
  DeviceInfoSet GetClassDevs(const Guid& interfaceClass);
  DeviceInterfaceSets& Sets() { return sets_; }

  // The registry calls for keys below DeviceClasses (status codes as the registry's).
  static bool IsDeviceClassesPath(const char* subKey);
  bool OwnsKey(RegistryKey key);
  std::int32_t OpenKey(const char* subKey, RegistryKey* result);
  std::int32_t QueryValue(RegistryKey key, const char* valueName, std::uint32_t* type, void* data,
                          std::uint32_t* dataLength);
  std::int32_t CloseKey(RegistryKey key);

 private:
  DeviceInterfaceSets sets_{0x3000};
  std::mutex mutex_;                         // guards the keys
  std::map<RegistryKey, std::string> keys_;  // the device instance of each open key
  RegistryKey nextKey_ = 0x40000000;
};

}  // namespace platform::linux_backend
