#include "sim/VersionRecords.h"

namespace sim {

platform::OsVersionInfo VersionRecord(std::uint32_t platformId, std::uint32_t major,
                                      std::uint32_t minor, std::uint32_t build) {
  platform::OsVersionInfo record;
  record.dwPlatformId = platformId;
  record.dwMajorVersion = major;
  record.dwMinorVersion = minor;
  record.dwBuildNumber = build;
  return record;
}

// The 9x family carries major, minor and build in the build number's words.
platform::OsVersionInfo Windows95() {
  return VersionRecord(platform::kVerPlatformWin32Windows, 4, 0, 0x040003B6);
}
platform::OsVersionInfo Windows98() {
  return VersionRecord(platform::kVerPlatformWin32Windows, 4, 10, 0x040A07CE);
}
platform::OsVersionInfo WindowsMe() {
  return VersionRecord(platform::kVerPlatformWin32Windows, 4, 90, 0x045A0BB8);
}
platform::OsVersionInfo Windows2000() {
  return VersionRecord(platform::kVerPlatformWin32Nt, 5, 0, 2195);
}
platform::OsVersionInfo WindowsXp() {
  return VersionRecord(platform::kVerPlatformWin32Nt, 5, 1, 2600);
}

}  // namespace sim
