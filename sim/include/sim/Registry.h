// The simulated machine's registry: keys below HKEY_LOCAL_MACHINE with string and
// multi-string values, read through the Windows registry calls with their results.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include "platform/WinApi.h"

namespace sim {

class Registry {
 public:
  // Paths are below HKEY_LOCAL_MACHINE, parts separated by '\'; letter case is ignored as
  // Windows ignores it, and a key keeps the spelling it was first made with. Setting a value
  // makes the key and its parents.
  void AddKey(std::string_view path);
  void SetString(std::string_view path, std::string_view name, std::string_view value);
  void SetMultiString(std::string_view path, std::string_view name,
                      const std::vector<std::string>& strings);
  void RemoveKey(std::string_view path);

  // The registry calls (status codes: kRegSuccess, 2 not found, 6 invalid key, 234 more
  // data, 259 no more items).
  std::int32_t OpenKey(platform::RegistryKey key, const char* subKey,
                       platform::RegistryKey* result);
  std::int32_t EnumKey(platform::RegistryKey key, std::uint32_t index, char* name,
                       std::uint32_t* nameLength);
  std::int32_t QueryValue(platform::RegistryKey key, const char* valueName, std::uint32_t* type,
                          void* data, std::uint32_t* dataLength);
  std::int32_t CloseKey(platform::RegistryKey key);

  // Keys opened and not closed yet.
  std::size_t OpenKeyCount() const;

 private:
  struct Value {
    std::uint32_t type = 0;
    std::vector<std::uint8_t> data;
  };
  struct Key {
    std::string name;
    std::map<std::string, std::unique_ptr<Key>> subkeys;  // by lower-case name
    std::map<std::string, Value> values;                  // by lower-case name
  };

  Key* Find(const std::vector<std::string>& parts);
  Key& Make(std::string_view path);
  void SetValue(std::string_view path, std::string_view name, Value value);
  // The key path an open key or HKEY_LOCAL_MACHINE stands for; false for any other value.
  bool PathOf(platform::RegistryKey key, std::vector<std::string>& parts) const;

  mutable std::mutex mutex_;
  Key root_;
  std::map<platform::RegistryKey, std::vector<std::string>> open_;
  platform::RegistryKey next_ = 0x1000;
};

}  // namespace sim
