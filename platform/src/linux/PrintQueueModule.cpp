// Asks for the print queues through the CUPS module, loaded on the first question.
#include <mutex>

#include "linux/PlatformModule.h"
#include "linux/PrintQueues.h"

namespace platform::linux_backend {
namespace {

using ListQueues = void (*)(void (*)(void*, const char*, const char*), void*);

void AddQueue(void* context, const char* name, const char* deviceUri) {
  static_cast<std::vector<PrintQueue>*>(context)->push_back({name, deviceUri});
}

}  // namespace

std::vector<PrintQueue> ListPrintQueues() {
  static std::once_flag loaded;
  static ListQueues list = nullptr;
  std::call_once(loaded, [] {
    list =
        reinterpret_cast<ListQueues>(PlatformModuleEntry(kCupsModuleName, "ZarnikCupsListQueues"));
  });
  std::vector<PrintQueue> queues;
  if (list != nullptr) {
    list(AddQueue, &queues);
  }
  return queues;
}

}  // namespace platform::linux_backend
