// The version record. On Linux the record stands for the parallel-port access method: the
// NT 5.1 record (system drivers) unless ZARNIK_LPT_ACCESS=direct asks for direct register
// access, which the Windows 98 record stands for. No setting yields an unknown system.
#include <cstdlib>
#include <cstring>

#include "linux/ErrorCodes.h"
#include "linux/LinuxServices.h"

namespace platform::linux_backend {

namespace {

bool DirectAccessAsked() {
  const char* access = std::getenv("ZARNIK_LPT_ACCESS");
  return access != nullptr && std::strcmp(access, "direct") == 0;
}

}  // namespace

bool LinuxServices::GetVersionEx(OsVersionInfo* info) {
  if (info == nullptr || info->dwOSVersionInfoSize != sizeof(OsVersionInfo)) {
    SetLastErrorCode(kErrorInsufficientBuffer);
    return false;
  }
  OsVersionInfo record;
  if (DirectAccessAsked()) {
    record.dwPlatformId = kVerPlatformWin32Windows;
    record.dwMajorVersion = 4;
    record.dwMinorVersion = 10;
    record.dwBuildNumber = 0x040A07CE;  // 4.10.1998
  } else {
    record.dwPlatformId = kVerPlatformWin32Nt;
    record.dwMajorVersion = 5;
    record.dwMinorVersion = 1;
    record.dwBuildNumber = 2600;
  }
  *info = record;
  return true;
}

}  // namespace platform::linux_backend
