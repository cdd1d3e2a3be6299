// Services the Linux backend does not provide yet: device-interface enumeration and port
// input/output. Each fails the way its Windows counterpart fails when
// there is nothing to find, so callers take their ordinary "not found" path. Port input and
// output never touch the hardware here: a read gives the floating-bus value 0xFF and a
// write is dropped, after setting the last error to kErrorNotSupported.
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

std::uint8_t LinuxServices::PortIn(std::uint16_t /*address*/) {
  SetLastErrorCode(kErrorNotSupported);
  return 0xFF;
}

void LinuxServices::PortOut(std::uint16_t /*address*/, std::uint8_t /*value*/) {
  SetLastErrorCode(kErrorNotSupported);
}

}  // namespace platform::linux_backend
