// Device-interface sets as the setup calls hand them out: each set a snapshot of the interface
// paths of one class, taken when it is made, enumerated and detailed with the Windows results
// and last errors. Backends fill a set from wherever their devices come from.
#pragma once

#include <cstdint>
#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "platform/Services.h"
#include "platform/WinApi.h"

namespace platform {

class ZARNIK_PLATFORM_API DeviceInterfaceSets {
 public:
  // Handles are given out from firstHandle on, four apart.
  explicit DeviceInterfaceSets(DeviceInfoSet firstHandle) : next_(firstHandle) {}

  DeviceInfoSet Make(const Guid& interfaceClass, std::vector<std::string> paths);
  // A failing call returns false with its error code in error.
  bool Enum(DeviceInfoSet set, const Guid& interfaceClass, std::uint32_t memberIndex,
            DeviceInterfaceData* data, std::uint32_t& error);
  // The size query (no record, or one too small) fails with kErrorInsufficientBuffer after
  // storing the size needed; a record whose size field is not 5 fails with
  // kErrorInvalidUserBuffer.
  bool Detail(DeviceInfoSet set, const DeviceInterfaceData& data, void* detail,
              std::uint32_t detailSize, std::uint32_t* requiredSize, std::uint32_t& error);
  bool Destroy(DeviceInfoSet set, std::uint32_t& error);

  // Sets made and not destroyed yet.
  std::size_t OpenCount() const;

 private:
  struct Set {
    Guid interfaceClass;
    std::vector<std::string> paths;
  };

  // The set behind a handle, with the mutex held; null (kErrorInvalidHandle) when none.
  const Set* Find(DeviceInfoSet set, std::uint32_t& error) const;

  mutable std::mutex mutex_;
  std::map<DeviceInfoSet, Set> sets_;
  DeviceInfoSet next_;
};

}  // namespace platform
