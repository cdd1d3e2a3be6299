#include "sim/DeviceInterfaces.h"

#include <algorithm>
#include <cstring>

namespace sim {

using platform::DeviceInfoSet;

void DeviceInterfaces::Add(const platform::Guid& interfaceClass, std::string path) {
  std::lock_guard lock(mutex_);
  interfaces_.emplace_back(interfaceClass, std::move(path));
}

void DeviceInterfaces::Remove(const std::string& path) {
  std::lock_guard lock(mutex_);
  std::erase_if(interfaces_, [&](const Member& member) { return member.second == path; });
}

DeviceInfoSet DeviceInterfaces::GetClassDevs(const platform::Guid& interfaceClass) {
  std::lock_guard lock(mutex_);
  std::vector<Member> members;
  std::copy_if(interfaces_.begin(), interfaces_.end(), std::back_inserter(members),
               [&](const Member& member) { return member.first == interfaceClass; });
  const DeviceInfoSet set = next_;
  next_ += 4;
  sets_.emplace(set, std::move(members));
  return set;
}

bool DeviceInterfaces::Enum(DeviceInfoSet set, const platform::Guid& interfaceClass,
                            std::uint32_t memberIndex, platform::DeviceInterfaceData* data,
                            std::uint32_t& error) {
  std::lock_guard lock(mutex_);
  auto it = sets_.find(set);
  if (it == sets_.end()) {
    error = platform::kErrorInvalidHandle;
    return false;
  }
  if (data == nullptr || data->cbSize != sizeof(platform::DeviceInterfaceData)) {
    error = platform::kErrorInvalidUserBuffer;
    return false;
  }
  std::uint32_t seen = 0;
  const std::vector<Member>& members = it->second;
  for (std::size_t position = 0; position < members.size(); ++position) {
    if (members[position].first == interfaceClass && seen++ == memberIndex) {
      data->InterfaceClassGuid = interfaceClass;
      data->Flags = 0x1;  // SPINT_ACTIVE
      data->Reserved = position;
      return true;
    }
  }
  error = platform::kErrorNoMoreItems;
  return false;
}

bool DeviceInterfaces::Detail(DeviceInfoSet set, const platform::DeviceInterfaceData& data,
                              void* detail, std::uint32_t detailSize, std::uint32_t* requiredSize,
                              std::uint32_t& error) {
  std::lock_guard lock(mutex_);
  auto it = sets_.find(set);
  if (it == sets_.end()) {
    error = platform::kErrorInvalidHandle;
    return false;
  }
  if (data.Reserved >= it->second.size()) {
    error = platform::kErrorInvalidParameter;
    return false;
  }
  const std::string& path = it->second[data.Reserved].second;
  const auto needed =
      static_cast<std::uint32_t>(platform::kDeviceInterfaceDetailHeaderSize + path.size() + 1);
  if (requiredSize != nullptr) {
    *requiredSize = needed;
  }
  if (detail == nullptr && detailSize != 0) {
    error = platform::kErrorInvalidUserBuffer;
    return false;
  }
  if (detail == nullptr || detailSize < needed) {
    error = platform::kErrorInsufficientBuffer;
    return false;
  }
  std::uint32_t sizeField = 0;
  std::memcpy(&sizeField, detail, sizeof sizeField);
  if (sizeField != 5) {
    error = platform::kErrorInvalidUserBuffer;
    return false;
  }
  std::memcpy(static_cast<char*>(detail) + platform::kDeviceInterfaceDetailHeaderSize, path.c_str(),
              path.size() + 1);
  return true;
}

bool DeviceInterfaces::Destroy(DeviceInfoSet set, std::uint32_t& error) {
  std::lock_guard lock(mutex_);
  if (sets_.erase(set) != 1) {
    error = platform::kErrorInvalidHandle;
    return false;
  }
  return true;
}

std::size_t DeviceInterfaces::OpenSetCount() const {
  std::lock_guard lock(mutex_);
  return sets_.size();
}

}  // namespace sim
