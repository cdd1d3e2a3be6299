// The calling thread's last error and the translation of errno values into it.
#pragma once

#include <cstdint>

namespace platform::linux_backend {

// The Windows error code that stands for an errno value.
std::uint32_t ErrorFromErrno(int error);

std::uint32_t LastError();
void SetLastErrorCode(std::uint32_t error);
// Sets the last error from errno and returns false, for "fail with the system's reason".
bool FailFromErrno();

}  // namespace platform::linux_backend
