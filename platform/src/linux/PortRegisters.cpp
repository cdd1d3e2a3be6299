// The parallel port's registers on the real machine (ParportAccess.h).
#include "linux/LinuxServices.h"

namespace platform::linux_backend {

bool LinuxServices::ClaimPort(std::uint16_t base) {
  return parport_.Claim(base);
}

void LinuxServices::ReleasePort(std::uint16_t /*base*/) {
  parport_.Release();
}

bool LinuxServices::PortIn(std::uint16_t address, std::uint8_t* value) {
  return parport_.In(address, *value);
}

bool LinuxServices::PortOut(std::uint16_t address, std::uint8_t value) {
  return parport_.Out(address, value);
}

}  // namespace platform::linux_backend
