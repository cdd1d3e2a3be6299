#include "OsKind.h"

#include <array>

#include "Diagnostics.h"
#include "VopP2.h"
#include "platform/Services.h"

namespace vopp2 {

namespace {
constexpr std::array<const char*, 6> kKindNames{"OS_UNKNOWN", "OS_WIN95", "OS_WIN98",
                                                "OS_WINME",   "OS_WIN2K", "OS_WINXP"};
}  // namespace

int ClassifyOs(const platform::OsVersionInfo& record) {
  const std::uint32_t buildLow = record.dwBuildNumber & 0xFFFFU;
  const std::uint32_t buildHigh = record.dwBuildNumber >> 16;
  if (record.dwPlatformId == platform::kVerPlatformWin32Windows) {
    if (record.dwMinorVersion == 0) {
      return OS_WIN95;
    }
    if (record.dwMinorVersion == 10 && (buildLow == 1998 || buildLow == 2222)) {
      return OS_WIN98;
    }
    if (record.dwMinorVersion == 90 || buildHigh == 0x045A) {
      return OS_WINME;
    }
    return OS_UNKNOWN;
  }
  if (record.dwPlatformId == platform::kVerPlatformWin32Nt && record.dwMajorVersion == 5) {
    if (record.dwMinorVersion == 0) {
      return OS_WIN2K;
    }
    if (record.dwMinorVersion == 1) {
      return OS_WINXP;
    }
  }
  return OS_UNKNOWN;
}

int GetKindOfOS() {
  DebugLine(kLevelPortFunction, "GetKindOfOS\n");
  platform::OsVersionInfo record;
  record.dwOSVersionInfoSize = sizeof(platform::OsVersionInfo);
  platform::Current().GetVersionEx(&record);
  DebugLine(kLevelOsValues, "GetKindOfOS = Platform:%08Xh Major:%08Xh Minor:%08Xh Build:%08Xh\n",
            record.dwPlatformId, record.dwMajorVersion, record.dwMinorVersion,
            record.dwBuildNumber);
  return ClassifyOs(record);
}

const char* KindName(int kind) {
  if (kind < 0 || kind >= static_cast<int>(kKindNames.size())) {
    return kKindNames[OS_UNKNOWN];
  }
  return kKindNames[static_cast<std::size_t>(kind)];
}

}  // namespace vopp2
