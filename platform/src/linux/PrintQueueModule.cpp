// Loads the CUPS module on the first question about print queues and asks through it.
#include <dlfcn.h>

#include <filesystem>
#include <mutex>
#include <string>

#include "linux/PrintQueues.h"

namespace platform::linux_backend {
namespace {

using ListQueues = void (*)(void (*)(void*, const char*, const char*), void*);

// The module beside the library that holds this code, else by name through its run path.
ListQueues LoadModule() {
  Dl_info info{};
  void* module = nullptr;
  if (::dladdr(reinterpret_cast<const void*>(&LoadModule), &info) != 0 &&
      info.dli_fname != nullptr) {
    const auto beside = std::filesystem::path(info.dli_fname).parent_path() / kCupsModuleName;
    module = ::dlopen(beside.c_str(), RTLD_NOW | RTLD_LOCAL);
  }
  if (module == nullptr) {
    module = ::dlopen(kCupsModuleName, RTLD_NOW | RTLD_LOCAL);
  }
  if (module == nullptr) {
    return nullptr;
  }
  // The module stays loaded for the life of the process.
  return reinterpret_cast<ListQueues>(::dlsym(module, "ZarnikCupsListQueues"));
}

void AddQueue(void* context, const char* name, const char* deviceUri) {
  static_cast<std::vector<PrintQueue>*>(context)->push_back({name, deviceUri});
}

}  // namespace

std::vector<PrintQueue> ListPrintQueues() {
  static std::once_flag loaded;
  static ListQueues list = nullptr;
  std::call_once(loaded, [] { list = LoadModule(); });
  std::vector<PrintQueue> queues;
  if (list != nullptr) {
    list(AddQueue, &queues);
  }
  return queues;
}

}  // namespace platform::linux_backend
