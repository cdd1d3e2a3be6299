// Which Windows the version record names, as the kind that selects the parallel-port and
// USB access methods.
#pragma once

#include <cstdint>

#include "platform/WinApi.h"

namespace vopp2 {

// OS_UNKNOWN .. OS_WINXP for a version record.
int ClassifyOs(const platform::OsVersionInfo& record);

// Asks the system for its version record (every call afresh) and classifies it.
int GetKindOfOS();

// "OS_UNKNOWN", "OS_WIN95", ... for a kind; "OS_UNKNOWN" for any other value.
const char* KindName(int kind);

}  // namespace vopp2
