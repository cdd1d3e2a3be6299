// Version records of the Windows releases, as GetVersionExA reports them, for giving to
// the simulated machine.
#pragma once

#include <cstdint>

#include "platform/WinApi.h"

namespace sim {

platform::OsVersionInfo VersionRecord(std::uint32_t platformId, std::uint32_t major,
                                      std::uint32_t minor, std::uint32_t build);

platform::OsVersionInfo Windows95();
platform::OsVersionInfo Windows98();
platform::OsVersionInfo WindowsMe();
platform::OsVersionInfo Windows2000();
platform::OsVersionInfo WindowsXp();

}  // namespace sim
