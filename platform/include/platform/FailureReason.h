// Why the last port operation failed, in terms a technician can act on. The backends note a
// reason where the system told them one (a device the user may not open, a device another
// program holds, a device that is not there or went away); the tool shows it under the port
// library's own text. One record for the process: the port library has one caller at a time.
#pragma once

#include <string>

#include "platform/Services.h"

namespace platform {

enum class FailureKind {
  kNone,              // nothing noted since the last clear
  kPermissionDenied,  // the device exists, but this user may not open it
  kInUse,             // another program (or another handle of this one) holds the device
  kNotFound,          // no such device, or no device matching the settings
  kDeviceGone,        // the device went away while it was in use (unplugged, powered off)
  kPrintQueue,        // a print queue of the system holds the port
  kNotAnswering,      // the device took no bytes, or gave none, within the time allowed
  kAccessMethod,      // an access method the port needs is missing or not permitted
  kAmbiguous,         // the name given fits more than one device
};

struct FailureReason {
  FailureKind kind = FailureKind::kNone;
  std::string device;  // the device or file concerned, as the user would name it
  std::string detail;  // further plain words (what was found instead, the system's text)
};

// Replaces the noted reason.
ZARNIK_PLATFORM_API void NoteFailureReason(FailureReason reason);
// The reason noted since the last clear (kind kNone when there is none).
ZARNIK_PLATFORM_API FailureReason LastFailureReason();
// Forgets the noted reason; the tool clears it before each port library call, so that a
// reason shown always belongs to the call that failed.
ZARNIK_PLATFORM_API void ClearFailureReason();

}  // namespace platform
