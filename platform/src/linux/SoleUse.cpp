#include "linux/SoleUse.h"

#include <sys/file.h>

#include <cerrno>

#include "linux/ErrorCodes.h"
#include "platform/FailureReason.h"

namespace platform::linux_backend {

bool TakeSharingLock(int fd, std::uint32_t share, const std::string& device) {
  const std::uint32_t both = kFileShareRead | kFileShareWrite;
  if ((share & both) == both) {
    return true;
  }
  const int operation = share == 0 ? LOCK_EX : LOCK_SH;
  int result = 0;
  do {
    result = ::flock(fd, operation | LOCK_NB);
  } while (result != 0 && errno == EINTR);
  if (result == 0) {
    return true;
  }
  if (errno != EWOULDBLOCK) {
    return FailFromErrno();
  }
  SetLastErrorCode(kErrorSharingViolation);
  NoteFailureReason({FailureKind::kInUse, device, {}});
  return false;
}

}  // namespace platform::linux_backend
