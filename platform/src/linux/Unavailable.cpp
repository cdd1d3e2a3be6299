// Services the Linux backend does not provide yet: the registry, device-interface
// enumeration and port input/output. Each fails the way its Windows counterpart fails when
// there is nothing to find, so callers take their ordinary "not found" path. Port input and
// output never touch the hardware here: a read gives the floating-bus value 0xFF and a
// write is dropped, after setting the last error to kErrorNotSupported.
#include "linux/ErrorCodes.h"
#include "linux/LinuxServices.h"

namespace platform::linux_backend {

std::int32_t LinuxServices::RegOpenKeyEx(RegistryKey /*key*/, const char* /*subKey*/,
                                         std::uint32_t /*access*/, RegistryKey* result) {
  if (result != nullptr) {
    *result = kNoKey;
  }
  return static_cast<std::int32_t>(kErrorFileNotFound);
}

std::int32_t LinuxServices::RegEnumKeyEx(RegistryKey /*key*/, std::uint32_t /*index*/,
                                         char* /*name*/, std::uint32_t* /*nameLength*/) {
  return static_cast<std::int32_t>(kErrorInvalidHandle);
}

std::int32_t LinuxServices::RegQueryValueEx(RegistryKey /*key*/, const char* /*valueName*/,
                                            std::uint32_t* /*type*/, void* /*data*/,
                                            std::uint32_t* /*dataLength*/) {
  return static_cast<std::int32_t>(kErrorInvalidHandle);
}

std::int32_t LinuxServices::RegCloseKey(RegistryKey /*key*/) {
  return static_cast<std::int32_t>(kErrorInvalidHandle);
}

DeviceInfoSet LinuxServices::SetupDiGetClassDevs(const Guid& /*interfaceClass*/,
                                                 std::uint32_t /*flags*/) {
  SetLastErrorCode(kErrorNotSupported);
  return kInvalidDeviceInfoSet;
}

bool LinuxServices::SetupDiEnumDeviceInterfaces(DeviceInfoSet /*set*/,
                                                const Guid& /*interfaceClass*/,
                                                std::uint32_t /*memberIndex*/,
                                                DeviceInterfaceData* /*data*/) {
  SetLastErrorCode(kErrorInvalidHandle);
  return false;
}

bool LinuxServices::SetupDiGetDeviceInterfaceDetail(DeviceInfoSet /*set*/,
                                                    const DeviceInterfaceData& /*data*/,
                                                    void* /*detail*/, std::uint32_t /*detailSize*/,
                                                    std::uint32_t* /*requiredSize*/) {
  SetLastErrorCode(kErrorInvalidHandle);
  return false;
}

bool LinuxServices::SetupDiDestroyDeviceInfoList(DeviceInfoSet /*set*/) {
  SetLastErrorCode(kErrorInvalidHandle);
  return false;
}

std::uint8_t LinuxServices::PortIn(std::uint16_t /*address*/) {
  SetLastErrorCode(kErrorNotSupported);
  return 0xFF;
}

void LinuxServices::PortOut(std::uint16_t /*address*/, std::uint8_t /*value*/) {
  SetLastErrorCode(kErrorNotSupported);
}

}  // namespace platform::linux_backend
