#include "linux/ErrorCodes.h"

#include <cerrno>

#include "linux/LinuxServices.h"

namespace platform::linux_backend {

namespace {
thread_local std::uint32_t lastError = kErrorSuccess;
}  // namespace

std::uint32_t ErrorFromErrno(int error) {
  switch (error) {
    case 0:
      return kErrorSuccess;
    case ENOENT:
      return kErrorFileNotFound;
    case ENOTDIR:
      return kErrorPathNotFound;
    case EACCES:
    case EPERM:
    case EISDIR:
    case EROFS:
      return kErrorAccessDenied;
    case EBADF:
      return kErrorInvalidHandle;
    case ENOMEM:
      return kErrorNotEnoughMemory;
    case EBUSY:
    case EWOULDBLOCK:
      return kErrorSharingViolation;
    case EEXIST:
      return kErrorFileExists;
    case ENOSPC:
      return kErrorDiskFull;
    case EINVAL:
      return kErrorInvalidParameter;
    case ENOTTY:
    case ENOSYS:
    case ESPIPE:
      return kErrorInvalidFunction;
    case EOPNOTSUPP:
      return kErrorNotSupported;
    case ETIMEDOUT:
      return kErrorSemTimeout;
    case ENAMETOOLONG:
      return kErrorFilenameExcedRange;
    case EFAULT:
      return kErrorNoAccess;
    case EIO:
      return kErrorIoDevice;
    case ENXIO:
    case ENODEV:
      return kErrorDeviceNotConnected;
    default:
      return kErrorGenFailure;
  }
}

std::uint32_t LastError() {
  return lastError;
}

void SetLastErrorCode(std::uint32_t error) {
  lastError = error;
}

bool FailFromErrno() {
  lastError = ErrorFromErrno(errno);
  return false;
}

std::uint32_t LinuxServices::GetLastError() {
  return LastError();
}

void LinuxServices::SetLastError(std::uint32_t error) {
  SetLastErrorCode(error);
}

}  // namespace platform::linux_backend
