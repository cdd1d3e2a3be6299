// Clocks and sleep.
#include <time.h>

#include <cerrno>

#include "linux/LinuxServices.h"

namespace platform::linux_backend {

std::uint32_t LinuxServices::GetTickCount() {
  timespec now{};
  ::clock_gettime(CLOCK_MONOTONIC, &now);
  const auto milliseconds = static_cast<std::uint64_t>(now.tv_sec) * 1000U +
                            static_cast<std::uint64_t>(now.tv_nsec / 1000000);
  return static_cast<std::uint32_t>(milliseconds);  // wraps after 49.7 days, as it should
}

std::uint32_t LinuxServices::GetTimeOfDaySeconds() {
  // Wall-clock seconds since the epoch: differences of two readings are elapsed seconds,
  // also across midnight.
  return static_cast<std::uint32_t>(::time(nullptr));
}

void LinuxServices::Sleep(std::uint32_t milliseconds) {
  timespec left{static_cast<time_t>(milliseconds / 1000),
                static_cast<long>(milliseconds % 1000) * 1000000L};
  while (::nanosleep(&left, &left) != 0 && errno == EINTR) {
  }
}

}  // namespace platform::linux_backend
