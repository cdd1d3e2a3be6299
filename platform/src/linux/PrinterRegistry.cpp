#include "linux/PrinterRegistry.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <string_view>
#include <utility>

#include "linux/DevicePaths.h"
#include "linux/RegistryValue.h"

namespace platform::linux_backend {

namespace {

constexpr std::int32_t kNotFound = static_cast<std::int32_t>(kErrorFileNotFound);
constexpr std::int32_t kBadKey = static_cast<std::int32_t>(kErrorInvalidHandle);
constexpr std::int32_t kMoreData = static_cast<std::int32_t>(kErrorMoreData);
constexpr std::int32_t kNoMoreItems = static_cast<std::int32_t>(kErrorNoMoreItems);

constexpr std::string_view kPrintersPath = R"(system\currentcontrolset\control\print\printers)";
constexpr std::string_view kSpoolerKey = "DsSpooler";

std::string Lower(std::string_view text) {
  std::string lower(text);
  std::transform(lower.begin(), lower.end(), lower.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return lower;
}

std::vector<std::string> Split(std::string_view path) {
  std::vector<std::string> parts;
  std::size_t start = 0;
  while (start <= path.size()) {
    const std::size_t end = std::min(path.find('\\', start), path.size());
    if (end > start) {
      parts.emplace_back(path.substr(start, end - start));
    }
    start = end + 1;
  }
  return parts;
}

// Copies a name with its terminator into the caller's buffer, as RegEnumKeyEx does.
std::int32_t GiveName(std::string_view text, char* name, std::uint32_t* nameLength) {
  if (name == nullptr || nameLength == nullptr) {
    return static_cast<std::int32_t>(kErrorInvalidParameter);
  }
  if (text.size() + 1 > *nameLength) {
    return kMoreData;
  }
  std::memcpy(name, text.data(), text.size());
  name[text.size()] = '\0';
  *nameLength = static_cast<std::uint32_t>(text.size());
  return kRegSuccess;
}

}  // namespace

std::string PortNameOfDevice(const std::string& deviceUri) {
  constexpr std::string_view kParallel = "parallel:";
  if (deviceUri.starts_with(kParallel)) {
    const unsigned number = LptNumberOfDevice(deviceUri.substr(kParallel.size()));
    if (number != 0) {
      return "LPT" + std::to_string(number) + ":";
    }
  }
  return deviceUri;
}

PrinterRegistry::PrinterRegistry(QueueSource source, Now now)
    : source_(std::move(source)), now_(std::move(now)) {}

std::shared_ptr<const PrinterRegistry::Queues> PrinterRegistry::CurrentQueues() {
  const Clock::time_point now = now_();
  if (latest_ == nullptr || now - lastLook_ >= kQueuesReuseGap) {
    latest_ = std::make_shared<const Queues>(source_());
  }
  lastLook_ = now_();  // a slow answer is not counted as part of the pause
  return latest_;
}

std::int32_t PrinterRegistry::OpenKey(RegistryKey key, const char* subKey, RegistryKey* result) {
  if (result == nullptr) {
    return static_cast<std::int32_t>(kErrorInvalidParameter);
  }
  *result = kNoKey;
  std::lock_guard lock(mutex_);
  // The full path below the printers key, as parts: [queue [, DsSpooler]].
  std::vector<std::string> parts;
  std::shared_ptr<const Queues> queues;
  if (key == kHkeyLocalMachine) {
    const std::string path = Lower(subKey != nullptr ? subKey : "");
    if (!path.starts_with(kPrintersPath) ||
        (path.size() > kPrintersPath.size() && path[kPrintersPath.size()] != '\\')) {
      return kNotFound;
    }
    parts = Split(std::string_view(subKey).substr(kPrintersPath.size()));
  } else {
    auto it = open_.find(key);
    if (it == open_.end()) {
      return kBadKey;
    }
    const OpenedKey& parent = it->second;
    queues = parent.queues;
    if (parent.depth >= 1) {
      parts.push_back((*queues)[parent.queue].name);
    }
    if (parent.depth == 2) {
      parts.emplace_back(kSpoolerKey);
    }
    for (std::string& part : Split(subKey != nullptr ? subKey : "")) {
      parts.push_back(std::move(part));
    }
  }
  if (parts.size() > 2 || (parts.size() == 2 && Lower(parts[1]) != Lower(kSpoolerKey))) {
    return kNotFound;
  }
  if (queues == nullptr) {
    queues = CurrentQueues();
  }
  OpenedKey opened{queues, parts.size(), 0};
  if (!parts.empty()) {
    // Queue names keep their letter case on the server; the registry ignores it.
    const std::string wanted = Lower(parts[0]);
    auto found = std::find_if(queues->begin(), queues->end(),
                              [&](const PrintQueue& q) { return Lower(q.name) == wanted; });
    if (found == queues->end()) {
      return kNotFound;
    }
    opened.queue = static_cast<std::size_t>(found - queues->begin());
  }
  const RegistryKey handle = next_;
  next_ += 4;
  open_.emplace(handle, std::move(opened));
  *result = handle;
  return kRegSuccess;
}

std::int32_t PrinterRegistry::EnumKey(RegistryKey key, std::uint32_t index, char* name,
                                      std::uint32_t* nameLength) {
  std::lock_guard lock(mutex_);
  auto it = open_.find(key);
  if (it == open_.end()) {
    return kBadKey;
  }
  const OpenedKey& opened = it->second;
  if (opened.depth == 0 && index < opened.queues->size()) {
    return GiveName((*opened.queues)[index].name, name, nameLength);
  }
  if (opened.depth == 1 && index == 0) {
    return GiveName(kSpoolerKey, name, nameLength);
  }
  return kNoMoreItems;
}

std::int32_t PrinterRegistry::QueryValue(RegistryKey key, const char* valueName,
                                         std::uint32_t* type, void* data,
                                         std::uint32_t* dataLength) {
  std::lock_guard lock(mutex_);
  auto it = open_.find(key);
  if (it == open_.end()) {
    return kBadKey;
  }
  const OpenedKey& opened = it->second;
  if (opened.depth != 2 || valueName == nullptr || Lower(valueName) != "portname") {
    return kNotFound;
  }
  // A multi-string: the port name, its terminator and the list's terminator.
  std::string value = PortNameOfDevice((*opened.queues)[opened.queue].deviceUri);
  value.append(2, '\0');
  return GiveRegistryValue(value, kRegMultiSz, type, data, dataLength);
}

std::int32_t PrinterRegistry::CloseKey(RegistryKey key) {
  std::lock_guard lock(mutex_);
  return open_.erase(key) == 1 ? kRegSuccess : kBadKey;
}

}  // namespace platform::linux_backend
