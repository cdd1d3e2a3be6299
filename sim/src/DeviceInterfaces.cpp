#include "sim/DeviceInterfaces.h"

#include <algorithm>

namespace sim {

void DeviceInterfaces::Add(const platform::Guid& interfaceClass, std::string path) {
  std::lock_guard lock(mutex_);
  interfaces_.emplace_back(interfaceClass, std::move(path));
}

void DeviceInterfaces::Remove(const std::string& path) {
  std::lock_guard lock(mutex_);
  std::erase_if(interfaces_, [&](const Member& member) { return member.second == path; });
}

platform::DeviceInfoSet DeviceInterfaces::GetClassDevs(const platform::Guid& interfaceClass) {
  std::vector<std::string> paths;
  {
    std::lock_guard lock(mutex_);
    for (const Member& member : interfaces_) {
      if (member.first == interfaceClass) {
        paths.push_back(member.second);
      }
    }
  }
  return sets_.Make(interfaceClass, std::move(paths));
}

}  // namespace sim
