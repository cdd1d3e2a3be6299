#include "platform/Services.h"

#include <atomic>

#include "linux/LinuxServices.h"

namespace platform {

Services::~Services() = default;

namespace {
std::atomic<Services*> installed{nullptr};
}  // namespace

Services& RealMachine() {
  static linux_backend::LinuxServices machine;
  return machine;
}

Services& Current() {
  Services* backend = installed.load();
  return backend != nullptr ? *backend : RealMachine();
}

Services* Install(Services* backend) {
  return installed.exchange(backend);
}

}  // namespace platform
