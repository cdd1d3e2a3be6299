#include "platform/FailureReason.h"

#include <mutex>
#include <utility>

namespace platform {
namespace {

std::mutex& ReasonMutex() {
  static std::mutex mutex;
  return mutex;
}

FailureReason& Noted() {
  static FailureReason reason;
  return reason;
}

}  // namespace

void NoteFailureReason(FailureReason reason) {
  const std::lock_guard lock(ReasonMutex());
  Noted() = std::move(reason);
}

FailureReason LastFailureReason() {
  const std::lock_guard lock(ReasonMutex());
  return Noted();
}

void ClearFailureReason() {
  const std::lock_guard lock(ReasonMutex());
  Noted() = FailureReason{};
}

}  // namespace platform
