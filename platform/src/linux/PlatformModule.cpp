#include "linux/PlatformModule.h"

#include <dlfcn.h>

#include <filesystem>

namespace platform::linux_backend {

void* PlatformModuleEntry(const char* fileName, const char* entry) {
  Dl_info info{};
  void* module = nullptr;
  if (::dladdr(reinterpret_cast<const void*>(&PlatformModuleEntry), &info) != 0 &&
      info.dli_fname != nullptr) {
    const auto beside = std::filesystem::path(info.dli_fname).parent_path() / fileName;
    module = ::dlopen(beside.c_str(), RTLD_NOW | RTLD_LOCAL);
  }
  if (module == nullptr) {
    module = ::dlopen(fileName, RTLD_NOW | RTLD_LOCAL);
  }
  return module != nullptr ? ::dlsym(module, entry) : nullptr;
}

}  // namespace platform::linux_backend
