// Sole use of an opened device or file, as far as Linux has sharing modes. Every port and
// file this backend opens goes through here, so that one program's handle keeps the others
// out while it holds it.
#pragma once

#include <cstdint>
#include <string>

namespace platform::linux_backend {

// Takes the advisory lock (flock) that the sharing mode asks for: no sharing asks for sole
// use, sharing one of read or write still keeps out an opener that wants sole use, sharing
// both takes no lock. Every opener through this layer takes it, and lock-respecting programs
// honour it (another Zarnik, the window, a print spooler that locks its devices). False when
// another holder keeps the device or file: the last error is then kErrorSharingViolation and
// the failure reason "in use" is noted for device; other lock failures set their own error.
bool TakeSharingLock(int fd, std::uint32_t share, const std::string& device);

}  // namespace platform::linux_backend
