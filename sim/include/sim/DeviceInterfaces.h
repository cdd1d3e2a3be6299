// The simulated machine's device-interface lists: interface paths a test adds under a class
// GUID, enumerated through the setup calls with their Windows results and last errors.
#pragma once

#include <cstdint>
#include <map>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

#include "platform/WinApi.h"

namespace sim {

class DeviceInterfaces {
 public:
  void Add(const platform::Guid& interfaceClass, std::string path);
  void Remove(const std::string& path);

  // The setup calls. A failing call stores its error code in error.
  platform::DeviceInfoSet GetClassDevs(const platform::Guid& interfaceClass);
  bool Enum(platform::DeviceInfoSet set, const platform::Guid& interfaceClass,
            std::uint32_t memberIndex, platform::DeviceInterfaceData* data, std::uint32_t& error);
  // The size query (no record, or one too small) fails with kErrorInsufficientBuffer after
  // storing the size needed; a record whose size field is not 5 fails with
  // kErrorInvalidUserBuffer.
  bool Detail(platform::DeviceInfoSet set, const platform::DeviceInterfaceData& data, void* detail,
              std::uint32_t detailSize, std::uint32_t* requiredSize, std::uint32_t& error);
  bool Destroy(platform::DeviceInfoSet set, std::uint32_t& error);

  // Sets made and not destroyed yet.
  std::size_t OpenSetCount() const;

 private:
  using Member = std::pair<platform::Guid, std::string>;

  mutable std::mutex mutex_;
  std::vector<Member> interfaces_;
  std::map<platform::DeviceInfoSet, std::vector<Member>> sets_;  // a snapshot per set
  platform::DeviceInfoSet next_ = 0x2000;
};

}  // namespace sim
