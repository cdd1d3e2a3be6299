// The registry: on Linux only the print queues key exists (PrinterRegistry.h).
#include "linux/LinuxServices.h"

namespace platform::linux_backend {

std::int32_t LinuxServices::RegOpenKeyEx(RegistryKey key, const char* subKey,
                                         std::uint32_t /*access*/, RegistryKey* result) {
  return printers_.OpenKey(key, subKey, result);
}

std::int32_t LinuxServices::RegEnumKeyEx(RegistryKey key, std::uint32_t index, char* name,
                                         std::uint32_t* nameLength) {
  return printers_.EnumKey(key, index, name, nameLength);
}

std::int32_t LinuxServices::RegQueryValueEx(RegistryKey key, const char* valueName,
                                            std::uint32_t* type, void* data,
                                            std::uint32_t* dataLength) {
  return printers_.QueryValue(key, valueName, type, data, dataLength);
}

std::int32_t LinuxServices::RegCloseKey(RegistryKey key) {
  return printers_.CloseKey(key);
}

}  // namespace platform::linux_backend
