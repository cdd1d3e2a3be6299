// The simulated machine's modules: stand-ins registered by the test, else the real loader.
#include <algorithm>
#include <cctype>
#include <string>

#include "sim/Machine.h"

namespace sim {

namespace {

std::string ModuleKey(std::string_view name) {
  std::string key(name);
  std::transform(key.begin(), key.end(), key.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return key;
}

}  // namespace

void Machine::RegisterModule(std::string_view name, std::map<std::string, void*> symbols) {
  std::lock_guard lock(mutex_);
  auto module = std::make_unique<StandInModule>();
  module->symbols = std::move(symbols);
  modules_[ModuleKey(name)] = std::move(module);
}

void Machine::UnregisterModule(std::string_view name) {
  std::lock_guard lock(mutex_);
  modules_.erase(ModuleKey(name));
}

void Machine::AllowRealModules(bool allowed) {
  std::lock_guard lock(mutex_);
  realModules_ = allowed;
}

int Machine::ModuleReferences(std::string_view name) const {
  std::lock_guard lock(mutex_);
  auto it = modules_.find(ModuleKey(name));
  return it == modules_.end() ? 0 : it->second->references;
}

platform::ModuleHandle Machine::LoadLibrary(const char* name) {
  if (name == nullptr) {
    SetLastError(platform::kErrorInvalidParameter);
    return nullptr;
  }
  bool real = false;
  {
    std::lock_guard lock(mutex_);
    auto it = modules_.find(ModuleKey(name));
    if (it != modules_.end()) {
      ++it->second->references;
      return it->second.get();
    }
    real = realModules_;
  }
  if (!real) {
    SetLastError(platform::kErrorModNotFound);
    return nullptr;
  }
  platform::ModuleHandle module = platform::RealMachine().LoadLibrary(name);
  FromReal(module != nullptr);
  return module;
}

void* Machine::GetProcAddress(platform::ModuleHandle module, const char* name) {
  {
    std::lock_guard lock(mutex_);
    for (const auto& [key, standIn] : modules_) {
      if (standIn.get() == module) {
        auto symbol = standIn->symbols.find(name != nullptr ? name : "");
        if (symbol == standIn->symbols.end() || symbol->second == nullptr) {
          SetLastError(platform::kErrorProcNotFound);
          return nullptr;
        }
        return symbol->second;
      }
    }
  }
  void* symbol = platform::RealMachine().GetProcAddress(module, name);
  FromReal(symbol != nullptr);
  return symbol;
}

bool Machine::FreeLibrary(platform::ModuleHandle module) {
  {
    std::lock_guard lock(mutex_);
    for (const auto& [key, standIn] : modules_) {
      if (standIn.get() == module) {
        if (standIn->references == 0) {
          SetLastError(platform::kErrorInvalidHandle);
          return false;
        }
        --standIn->references;
        return true;
      }
    }
  }
  return FromReal(platform::RealMachine().FreeLibrary(module));
}

std::uint32_t Machine::GetModuleFileName(char* buffer, std::uint32_t size) {
  const std::uint32_t length = platform::RealMachine().GetModuleFileName(buffer, size);
  FromReal(length != 0);
  return length;
}

}  // namespace sim
