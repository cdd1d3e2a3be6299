// The simulated machine's device-interface lists: interface paths a test adds under a class
// GUID, enumerated through the setup calls with their Windows results and last errors.
#pragma once

#include <cstdint>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

#include "platform/DeviceInterfaceSets.h"
#include "platform/WinApi.h"

namespace sim {

class DeviceInterfaces {
 public:
  void Add(const platform::Guid& interfaceClass, std::string path);
  void Remove(const std::string& path);

  // The setup calls (platform::DeviceInterfaceSets): a set holds the paths of its class as
  // they were when it was made.
  platform::DeviceInfoSet GetClassDevs(const platform::Guid& interfaceClass);
  platform::DeviceInterfaceSets& Sets() { return sets_; }

  // Sets made and not destroyed yet.
  std::size_t OpenSetCount() const { return sets_.OpenCount(); }

 private:
  using Member = std::pair<platform::Guid, std::string>;

  mutable std::mutex mutex_;
  std::vector<Member> interfaces_;
  platform::DeviceInterfaceSets sets_{0x2000};
};

}  // namespace sim
