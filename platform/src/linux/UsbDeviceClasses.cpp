#include "linux/UsbDeviceClasses.h"

#include <cstring>
#include <optional>
#include <string_view>

#include "linux/BridgeServedDevices.h"
#include "linux/RegistryValue.h"
#include "linux/UsbDeviceTree.h"
#include "platform/UsbInterfaceNames.h"
#include "platform/VopUsbDriver.h"

namespace platform::linux_backend {

namespace {

constexpr std::string_view kDeviceClasses = usbnames::kDeviceClassesKey;

constexpr std::int32_t kNotFound = static_cast<std::int32_t>(kErrorFileNotFound);
constexpr std::int32_t kBadKey = static_cast<std::int32_t>(kErrorInvalidHandle);

std::optional<UsbClass> ClassOf(const Guid& interfaceClass) {
  if (interfaceClass == kGuidUsbPrintingSupport) {
    return UsbClass::kPrintingSupport;
  }
  if (interfaceClass == kGuidUsbDevice) {
    return UsbClass::kUsbDevice;
  }
  if (interfaceClass == vopusb::kInterfaceClass) {
    return UsbClass::kBridge;
  }
  return std::nullopt;
}

}  // namespace

DeviceInfoSet UsbDeviceClasses::GetClassDevs(const Guid& interfaceClass) {
  Set set{interfaceClass, {}};
  if (const auto usbClass = ClassOf(interfaceClass)) {
    for (const UsbDeviceInfo& device : DevicesOfClass(*usbClass)) {
      set.paths.push_back(InterfacePath(device, *usbClass));
    }
    if (*usbClass == UsbClass::kBridge && set.paths.empty()) {
      NoteNoBridgeDevice();  // the bridge's open fails without another word
    }
  }
  std::lock_guard lock(mutex_);
  const DeviceInfoSet handle = nextSet_;
  nextSet_ += 4;
  sets_.emplace(handle, std::move(set));
  return handle;
}

const UsbDeviceClasses::Set* UsbDeviceClasses::FindSet(DeviceInfoSet set, std::uint32_t& error) {
  auto it = sets_.find(set);
  if (it == sets_.end()) {
    error = kErrorInvalidHandle;
    return nullptr;
  }
  return &it->second;
}

bool UsbDeviceClasses::Enum(DeviceInfoSet set, const Guid& interfaceClass,
                            std::uint32_t memberIndex, DeviceInterfaceData* data,
                            std::uint32_t& error) {
  std::lock_guard lock(mutex_);
  const Set* found = FindSet(set, error);
  if (found == nullptr) {
    return false;
  }
  if (data == nullptr || data->cbSize != sizeof(DeviceInterfaceData)) {
    error = kErrorInvalidUserBuffer;
    return false;
  }
  if (!(interfaceClass == found->interfaceClass) || memberIndex >= found->paths.size()) {
    error = kErrorNoMoreItems;
    return false;
  }
  data->InterfaceClassGuid = interfaceClass;
  data->Flags = 0x1;  // SPINT_ACTIVE
  data->Reserved = memberIndex;
  return true;
}

bool UsbDeviceClasses::Detail(DeviceInfoSet set, const DeviceInterfaceData& data, void* detail,
                              std::uint32_t detailSize, std::uint32_t* requiredSize,
                              std::uint32_t& error) {
  std::lock_guard lock(mutex_);
  const Set* found = FindSet(set, error);
  if (found == nullptr) {
    return false;
  }
  if (data.Reserved >= found->paths.size()) {
    error = kErrorInvalidParameter;
    return false;
  }
  const std::string& path = found->paths[data.Reserved];
  const auto needed =
      static_cast<std::uint32_t>(kDeviceInterfaceDetailHeaderSize + path.size() + 1);
  if (requiredSize != nullptr) {
    *requiredSize = needed;
  }
  if (detail == nullptr || detailSize < needed) {
    error =
        detail == nullptr && detailSize != 0 ? kErrorInvalidUserBuffer : kErrorInsufficientBuffer;
    return false;
  }
  std::uint32_t sizeField = 0;
  std::memcpy(&sizeField, detail, sizeof sizeField);
  if (sizeField != 5) {
    error = kErrorInvalidUserBuffer;
    return false;
  }
  std::memcpy(static_cast<char*>(detail) + kDeviceInterfaceDetailHeaderSize, path.c_str(),
              path.size() + 1);
  return true;
}

bool UsbDeviceClasses::Destroy(DeviceInfoSet set, std::uint32_t& error) {
  std::lock_guard lock(mutex_);
  if (sets_.erase(set) != 1) {
    error = kErrorInvalidHandle;
    return false;
  }
  return true;
}

bool UsbDeviceClasses::IsDeviceClassesPath(const char* subKey) {
  return subKey != nullptr && std::strlen(subKey) > kDeviceClasses.size() &&
         SameTextNoCase(std::string_view(subKey).substr(0, kDeviceClasses.size()), kDeviceClasses);
}

bool UsbDeviceClasses::OwnsKey(RegistryKey key) {
  std::lock_guard lock(mutex_);
  return keys_.contains(key);
}

std::int32_t UsbDeviceClasses::OpenKey(const char* subKey, RegistryKey* result) {
  if (result == nullptr) {
    return static_cast<std::int32_t>(kErrorInvalidParameter);
  }
  *result = kNoKey;
  // "{class}\<key name>" below DeviceClasses.
  const std::string_view rest = std::string_view(subKey).substr(kDeviceClasses.size());
  const std::size_t split = rest.find('\\');
  if (split == std::string_view::npos) {
    return kNotFound;
  }
  const std::string_view classText = rest.substr(0, split);
  const std::string_view keyName = rest.substr(split + 1);
  for (const UsbClass usbClass : {UsbClass::kPrintingSupport, UsbClass::kUsbDevice}) {
    if (!SameTextNoCase(classText, ClassGuidText(usbClass))) {
      continue;
    }
    for (const UsbDeviceInfo& device : DevicesOfClass(usbClass)) {
      if (SameTextNoCase(usbnames::InterfaceKeyName(InterfacePath(device, usbClass)), keyName)) {
        std::lock_guard lock(mutex_);
        *result = nextKey_;
        nextKey_ += 4;
        keys_.emplace(*result, DeviceInstance(device));
        return kRegSuccess;
      }
    }
  }
  return kNotFound;
}

std::int32_t UsbDeviceClasses::QueryValue(RegistryKey key, const char* valueName,
                                          std::uint32_t* type, void* data,
                                          std::uint32_t* dataLength) {
  std::lock_guard lock(mutex_);
  auto it = keys_.find(key);
  if (it == keys_.end()) {
    return kBadKey;
  }
  if (valueName == nullptr || !SameTextNoCase(valueName, "DeviceInstance")) {
    return kNotFound;
  }
  // A string value with its terminator.
  const std::string& value = it->second;
  return GiveRegistryValue({value.c_str(), value.size() + 1}, kRegSz, type, data, dataLength);
}

std::int32_t UsbDeviceClasses::CloseKey(RegistryKey key) {
  std::lock_guard lock(mutex_);
  return keys_.erase(key) == 1 ? kRegSuccess : kBadKey;
}

}  // namespace platform::linux_backend
