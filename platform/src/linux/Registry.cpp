// The registry: on Linux only the print queues key (PrinterRegistry.h) and the USB devices'
// DeviceClasses keys (UsbDeviceClasses.h) exist.
#include "linux/LinuxServices.h"

namespace platform::linux_backend {

std::int32_t LinuxServices::RegOpenKeyEx(RegistryKey key, const char* subKey,
                                         std::uint32_t /*access*/, RegistryKey* result) {
  if (key == kHkeyLocalMachine && UsbDeviceClasses::IsDeviceClassesPath(subKey)) {
    return usbClasses_.OpenKey(subKey, result);
  }
  return printers_.OpenKey(key, subKey, result);
}

std::int32_t LinuxServices::RegEnumKeyEx(RegistryKey key, std::uint32_t index, char* name,
                                         std::uint32_t* nameLength) {
  if (usbClasses_.OwnsKey(key)) {
    return static_cast<std::int32_t>(kErrorNoMoreItems);  // a device's key has no subkeys
  }
  return printers_.EnumKey(key, index, name, nameLength);
}

std::int32_t LinuxServices::RegQueryValueEx(RegistryKey key, const char* valueName,
                                            std::uint32_t* type, void* data,
                                            std::uint32_t* dataLength) {
  if (usbClasses_.OwnsKey(key)) {
    return usbClasses_.QueryValue(key, valueName, type, data, dataLength);
  }
  return printers_.QueryValue(key, valueName, type, data, dataLength);
}

std::int32_t LinuxServices::RegCloseKey(RegistryKey key) {
  if (usbClasses_.OwnsKey(key)) {
    return usbClasses_.CloseKey(key);
  }
  return printers_.CloseKey(key);
}

}  // namespace platform::linux_backend
