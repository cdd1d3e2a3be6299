// Services the Linux backend does not provide yet: port input/output. They never touch the
// hardware here: a read gives the floating-bus value 0xFF and a write is dropped, after
// setting the last error to kErrorNotSupported.
#include "linux/ErrorCodes.h"
#include "linux/LinuxServices.h"

namespace platform::linux_backend {

std::uint8_t LinuxServices::PortIn(std::uint16_t /*address*/) {
  SetLastErrorCode(kErrorNotSupported);
  return 0xFF;
}

void LinuxServices::PortOut(std::uint16_t /*address*/, std::uint8_t /*value*/) {
  SetLastErrorCode(kErrorNotSupported);
}

}  // namespace platform::linux_backend
