#include "DeviceTable.h"

#include "platform/Services.h"

namespace vopusb {

namespace {
DeviceTable table;
}  // namespace

DeviceTable& Table() {
  return table;
}

DeviceTable::DeviceTable() = default;

DeviceTable::~DeviceTable() {
  for (std::int32_t id = 0; id < kSlotCount; ++id) {
    Release(id);
  }
}

DeviceTable::Slot* DeviceTable::OpenSlot(std::int32_t id) {
  if (id < 0 || id >= kSlotCount) {
    return nullptr;
  }
  Slot& slot = slots_[static_cast<std::size_t>(id)];
  return slot.handle != platform::kInvalidHandle ? &slot : nullptr;
}

std::int32_t DeviceTable::Register(platform::Handle handle, const std::string& path) {
  std::lock_guard guard(lock_);
  for (std::int32_t id = 0; id < kSlotCount; ++id) {
    Slot& slot = slots_[static_cast<std::size_t>(id)];
    if (slot.handle == platform::kInvalidHandle) {
      slot.handle = handle;
      slot.path.fill('\0');
      path.copy(slot.path.data(), kPathRoom - 1);
      return id;
    }
  }
  return -1;
}

void DeviceTable::Release(std::int32_t id) {
  platform::Handle handle = platform::kInvalidHandle;
  {
    std::lock_guard guard(lock_);
    if (Slot* slot = OpenSlot(id)) {
      handle = slot->handle;
      slot->handle = platform::kInvalidHandle;
      slot->path.fill('\0');
    }
  }
  // Closing can reach the device (an interface given back to its kernel driver), which the
  // other devices' calls must not wait for.
  if (handle != platform::kInvalidHandle) {
    platform::Current().CloseHandle(handle);
  }
}

platform::Handle DeviceTable::HandleOf(std::int32_t id) {
  std::lock_guard guard(lock_);
  const Slot* slot = OpenSlot(id);
  return slot != nullptr ? slot->handle : platform::kInvalidHandle;
}

std::optional<std::string> DeviceTable::PathOf(std::int32_t id) {
  std::lock_guard guard(lock_);
  const Slot* slot = OpenSlot(id);
  if (slot == nullptr) {
    return std::nullopt;
  }
  return std::string(slot->path.data());
}

}  // namespace vopusb
