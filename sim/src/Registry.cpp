#include "sim/Registry.h"

#include <algorithm>
#include <cctype>
#include <cstring>

namespace sim {

namespace {

using platform::RegistryKey;

constexpr std::int32_t kNotFound = 2;
constexpr std::int32_t kInvalidKey = 6;
constexpr std::int32_t kMoreData = 234;
constexpr std::int32_t kNoMoreItems = 259;

std::string Lower(std::string_view text) {
  std::string lower(text);
  std::transform(lower.begin(), lower.end(), lower.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return lower;
}

std::vector<std::string> Split(std::string_view path) {
  std::vector<std::string> parts;
  while (!path.empty()) {
    const std::size_t end = path.find('\\');
    const std::string_view part = path.substr(0, end);
    if (!part.empty()) {
      parts.emplace_back(part);
    }
    if (end == std::string_view::npos) {
      break;
    }
    path.remove_prefix(end + 1);
  }
  return parts;
}

}  // namespace

Registry::Key* Registry::Find(const std::vector<std::string>& parts) {
  Key* key = &root_;
  for (const std::string& part : parts) {
    auto it = key->subkeys.find(Lower(part));
    if (it == key->subkeys.end()) {
      return nullptr;
    }
    key = it->second.get();
  }
  return key;
}

Registry::Key& Registry::Make(std::string_view path) {
  Key* key = &root_;
  for (const std::string& part : Split(path)) {
    auto& child = key->subkeys[Lower(part)];
    if (child == nullptr) {
      child = std::make_unique<Key>();
      child->name = part;
    }
    key = child.get();
  }
  return *key;
}

void Registry::AddKey(std::string_view path) {
  std::lock_guard lock(mutex_);
  Make(path);
}

void Registry::SetValue(std::string_view path, std::string_view name, Value value) {
  std::lock_guard lock(mutex_);
  Make(path).values[Lower(name)] = std::move(value);
}

void Registry::SetString(std::string_view path, std::string_view name, std::string_view value) {
  Value stored{platform::kRegSz, {value.begin(), value.end()}};
  stored.data.push_back(0);
  SetValue(path, name, std::move(stored));
}

void Registry::SetMultiString(std::string_view path, std::string_view name,
                              const std::vector<std::string>& strings) {
  Value stored{platform::kRegMultiSz, {}};
  for (const std::string& text : strings) {
    stored.data.insert(stored.data.end(), text.begin(), text.end());
    stored.data.push_back(0);
  }
  stored.data.push_back(0);
  SetValue(path, name, std::move(stored));
}

void Registry::RemoveKey(std::string_view path) {
  std::lock_guard lock(mutex_);
  std::vector<std::string> parts = Split(path);
  if (parts.empty()) {
    return;
  }
  const std::string last = Lower(parts.back());
  parts.pop_back();
  if (Key* parent = Find(parts)) {
    parent->subkeys.erase(last);
  }
}

bool Registry::PathOf(RegistryKey key, std::vector<std::string>& parts) const {
  if (key == platform::kHkeyLocalMachine) {
    parts.clear();
    return true;
  }
  auto it = open_.find(key);
  if (it == open_.end()) {
    return false;
  }
  parts = it->second;
  return true;
}

std::int32_t Registry::OpenKey(RegistryKey key, const char* subKey, RegistryKey* result) {
  std::lock_guard lock(mutex_);
  if (result != nullptr) {
    *result = platform::kNoKey;
  }
  std::vector<std::string> parts;
  if (result == nullptr || !PathOf(key, parts)) {
    return kInvalidKey;
  }
  if (subKey != nullptr) {
    for (std::string& part : Split(subKey)) {
      parts.push_back(std::move(part));
    }
  }
  if (Find(parts) == nullptr) {
    return kNotFound;
  }
  const RegistryKey opened = next_;
  next_ += 4;
  open_.emplace(opened, std::move(parts));
  *result = opened;
  return platform::kRegSuccess;
}

std::int32_t Registry::EnumKey(RegistryKey key, std::uint32_t index, char* name,
                               std::uint32_t* nameLength) {
  std::lock_guard lock(mutex_);
  std::vector<std::string> parts;
  if (!PathOf(key, parts)) {
    return kInvalidKey;
  }
  const Key* found = Find(parts);
  if (found == nullptr) {
    return kNotFound;  // removed while open
  }
  if (index >= found->subkeys.size()) {
    return kNoMoreItems;
  }
  auto it = found->subkeys.begin();
  std::advance(it, index);
  const std::string& text = it->second->name;
  if (name == nullptr || nameLength == nullptr || text.size() + 1 > *nameLength) {
    return kMoreData;
  }
  std::memcpy(name, text.c_str(), text.size() + 1);
  *nameLength = static_cast<std::uint32_t>(text.size());
  return platform::kRegSuccess;
}

std::int32_t Registry::QueryValue(RegistryKey key, const char* valueName, std::uint32_t* type,
                                  void* data, std::uint32_t* dataLength) {
  std::lock_guard lock(mutex_);
  std::vector<std::string> parts;
  if (!PathOf(key, parts)) {
    return kInvalidKey;
  }
  const Key* found = Find(parts);
  if (found == nullptr) {
    return kNotFound;
  }
  auto it = found->values.find(Lower(valueName != nullptr ? valueName : ""));
  if (it == found->values.end()) {
    return kNotFound;
  }
  const Value& value = it->second;
  if (type != nullptr) {
    *type = value.type;
  }
  const auto size = static_cast<std::uint32_t>(value.data.size());
  if (data == nullptr) {
    if (dataLength != nullptr) {
      *dataLength = size;
    }
    return platform::kRegSuccess;
  }
  if (dataLength == nullptr || *dataLength < size) {
    if (dataLength != nullptr) {
      *dataLength = size;
    }
    return kMoreData;
  }
  std::memcpy(data, value.data.data(), size);
  *dataLength = size;
  return platform::kRegSuccess;
}

std::int32_t Registry::CloseKey(RegistryKey key) {
  std::lock_guard lock(mutex_);
  if (key == platform::kHkeyLocalMachine) {
    return platform::kRegSuccess;
  }
  return open_.erase(key) == 1 ? platform::kRegSuccess : kInvalidKey;
}

std::size_t Registry::OpenKeyCount() const {
  std::lock_guard lock(mutex_);
  return open_.size();
}

}  // namespace sim
