// The table of open devices: 128 slots, a device's id being its slot's index. A slot is free
// when its handle is -1. The table lock guards every look at a slot and every change to one;
// it is never held while the driver is called (see DriverAccess.h).
#pragma once

#include <array>
#include <cstdint>
#include <mutex>
#include <optional>
#include <string>

#include "platform/WinApi.h"

namespace vopusb {

inline constexpr std::int32_t kSlotCount = 128;
// Room for a device path with its terminator; a longer path does not fit a slot.
inline constexpr std::size_t kPathRoom = 260;

class DeviceTable {
 public:
  DeviceTable();
  // The library is being unloaded: every device still open is closed.
  ~DeviceTable();
  DeviceTable(const DeviceTable&) = delete;
  DeviceTable& operator=(const DeviceTable&) = delete;

  // The first free slot takes the handle and the path (shorter than kPathRoom); its id, or
  // -1 when every slot is taken.
  std::int32_t Register(platform::Handle handle, const std::string& path);
  // Closes the slot's handle and frees the slot; nothing happens for an id that is not open.
  void Release(std::int32_t id);
  // The handle of an open slot; kInvalidHandle for -1, an id outside the table or a free slot.
  platform::Handle HandleOf(std::int32_t id);
  // The device path of an open slot.
  std::optional<std::string> PathOf(std::int32_t id);

 private:
  struct Slot {
    std::array<char, kPathRoom> path{};
    platform::Handle handle = platform::kInvalidHandle;
  };
  // The open slot of id, or null. Called with the lock held.
  Slot* OpenSlot(std::int32_t id);

  std::mutex lock_;
  std::array<Slot, kSlotCount> slots_;
};

// The library's one table, cleared when the library is loaded.
DeviceTable& Table();

}  // namespace vopusb
