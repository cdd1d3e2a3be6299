// Services the Linux backend does not provide yet: device-interface enumeration. Each fails
// the way its Windows counterpart fails when there is nothing to find, so callers take
// their ordinary "not found" path.
#include "linux/ErrorCodes.h"
#include "linux/LinuxServices.h"

namespace platform::linux_backend {

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

}  // namespace platform::linux_backend
