#include "platform/DeviceInterfaceSets.h"

#include <cstring>
#include <utility>

namespace platform {

DeviceInfoSet DeviceInterfaceSets::Make(const Guid& interfaceClass,
                                        std::vector<std::string> paths) {
  const std::lock_guard lock(mutex_);
  const DeviceInfoSet handle = next_;
  next_ += 4;
  sets_.emplace(handle, Set{interfaceClass, std::move(paths)});
  return handle;
}

const DeviceInterfaceSets::Set* DeviceInterfaceSets::Find(DeviceInfoSet set,
                                                          std::uint32_t& error) const {
  const auto found = sets_.find(set);
  if (found == sets_.end()) {
    error = kErrorInvalidHandle;
    return nullptr;
  }
  return &found->second;
}

bool DeviceInterfaceSets::Enum(DeviceInfoSet set, const Guid& interfaceClass,
                               std::uint32_t memberIndex, DeviceInterfaceData* data,
                               std::uint32_t& error) {
  const std::lock_guard lock(mutex_);
  const Set* members = Find(set, error);
  if (members == nullptr) {
    return false;
  }
  if (data == nullptr || data->cbSize != sizeof(DeviceInterfaceData)) {
    error = kErrorInvalidUserBuffer;
    return false;
  }
  if (!(interfaceClass == members->interfaceClass) || memberIndex >= members->paths.size()) {
    error = kErrorNoMoreItems;
    return false;
  }
  data->InterfaceClassGuid = interfaceClass;
  data->Flags = 0x1;  // SPINT_ACTIVE
  data->Reserved = memberIndex;
  return true;
}

bool DeviceInterfaceSets::Detail(DeviceInfoSet set, const DeviceInterfaceData& data, void* detail,
                                 std::uint32_t detailSize, std::uint32_t* requiredSize,
                                 std::uint32_t& error) {
  const std::lock_guard lock(mutex_);
  const Set* members = Find(set, error);
  if (members == nullptr) {
    return false;
  }
  const std::vector<std::string>& paths = members->paths;
  if (data.Reserved >= paths.size()) {
    error = kErrorInvalidParameter;
    return false;
  }
  const std::string& path = paths[data.Reserved];
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

bool DeviceInterfaceSets::Destroy(DeviceInfoSet set, std::uint32_t& error) {
  const std::lock_guard lock(mutex_);
  if (sets_.erase(set) != 1) {
    error = kErrorInvalidHandle;
    return false;
  }
  return true;
}

std::size_t DeviceInterfaceSets::OpenCount() const {
  const std::lock_guard lock(mutex_);
  return sets_.size();
}

}  // namespace platform
