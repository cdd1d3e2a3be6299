// Device-interface enumeration: the USB device classes (UsbDeviceClasses.h).
#include "linux/ErrorCodes.h"
#include "linux/LinuxServices.h"

namespace platform::linux_backend {

DeviceInfoSet LinuxServices::SetupDiGetClassDevs(const Guid& interfaceClass,
                                                 std::uint32_t /*flags*/) {
  SetLastErrorCode(kErrorSuccess);
  return usbClasses_.GetClassDevs(interfaceClass);
}

bool LinuxServices::SetupDiEnumDeviceInterfaces(DeviceInfoSet set, const Guid& interfaceClass,
                                                std::uint32_t memberIndex,
                                                DeviceInterfaceData* data) {
  std::uint32_t error = kErrorSuccess;
  const bool ok = usbClasses_.Sets().Enum(set, interfaceClass, memberIndex, data, error);
  SetLastErrorCode(error);
  return ok;
}

bool LinuxServices::SetupDiGetDeviceInterfaceDetail(DeviceInfoSet set,
                                                    const DeviceInterfaceData& data, void* detail,
                                                    std::uint32_t detailSize,
                                                    std::uint32_t* requiredSize) {
  std::uint32_t error = kErrorSuccess;
  const bool ok = usbClasses_.Sets().Detail(set, data, detail, detailSize, requiredSize, error);
  SetLastErrorCode(error);
  return ok;
}

bool LinuxServices::SetupDiDestroyDeviceInfoList(DeviceInfoSet set) {
  std::uint32_t error = kErrorSuccess;
  const bool ok = usbClasses_.Sets().Destroy(set, error);
  SetLastErrorCode(error);
  return ok;
}

}  // namespace platform::linux_backend
