// Hands a registry value to the caller of RegQueryValueEx as Windows does: its type, its
// size, and its bytes when the caller's buffer holds them (kErrorMoreData when not).
#pragma once

#include <cstdint>
#include <cstring>
#include <string_view>

#include "platform/WinApi.h"

namespace platform::linux_backend {

inline std::int32_t GiveRegistryValue(std::string_view bytes, std::uint32_t valueType,
                                      std::uint32_t* type, void* data, std::uint32_t* dataLength) {
  if (type != nullptr) {
    *type = valueType;
  }
  if (dataLength == nullptr) {
    return data == nullptr ? kRegSuccess : static_cast<std::int32_t>(kErrorInvalidParameter);
  }
  const auto size = static_cast<std::uint32_t>(bytes.size());
  if (data != nullptr && *dataLength < size) {
    *dataLength = size;
    return static_cast<std::int32_t>(kErrorMoreData);
  }
  if (data != nullptr) {
    std::memcpy(data, bytes.data(), size);
  }
  *dataLength = size;
  return kRegSuccess;
}

}  // namespace platform::linux_backend
