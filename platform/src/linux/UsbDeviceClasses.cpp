#include "linux/UsbDeviceClasses.h"

#include <cstring>
#include <optional>
#include <string_view>
#include <vector>

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
  std::vector<std::string> paths;
  if (const auto usbClass = ClassOf(interfaceClass)) {
    for (const UsbDeviceInfo& device : DevicesOfClass(*usbClass)) {
      paths.push_back(InterfacePath(device, *usbClass));
    }
    if (*usbClass == UsbClass::kBridge && paths.empty()) {
      NoteNoBridgeDevice();  // the bridge's open fails without another word
    }
  }
  return sets_.Make(interfaceClass, std::move(paths));
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
