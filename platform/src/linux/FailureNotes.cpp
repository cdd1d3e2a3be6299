#include "linux/FailureNotes.h"

#include "platform/FailureReason.h"

namespace platform::linux_backend {

void NoteOpenFailure(std::uint32_t error, const std::string& device, const std::string& detail) {
  FailureKind kind = FailureKind::kNone;
  switch (error) {
    case kErrorAccessDenied:
      kind = FailureKind::kPermissionDenied;
      break;
    case kErrorSharingViolation:
      kind = FailureKind::kInUse;
      break;
    case kErrorFileNotFound:
    case kErrorPathNotFound:
    case kErrorDeviceNotConnected:
      kind = FailureKind::kNotFound;
      break;
    default:
      return;
  }
  NoteFailureReason({kind, device, detail});
}

void NoteTransferFailure(std::uint32_t error, const std::string& device) {
  FailureKind kind = FailureKind::kNone;
  switch (error) {
    case kErrorSemTimeout:
      kind = FailureKind::kNotAnswering;
      break;
    case kErrorIoDevice:
    case kErrorDeviceNotConnected:
      kind = FailureKind::kDeviceGone;
      break;
    case kErrorAccessDenied:
      kind = FailureKind::kPermissionDenied;
      break;
    default:
      return;
  }
  NoteFailureReason({kind, device, {}});
}

void NoteNoReply(const std::string& device, const std::string& detail) {
  NoteFailureReason({FailureKind::kNotAnswering, device, detail});
}

}  // namespace platform::linux_backend
