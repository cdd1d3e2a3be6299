#include "DriverAccess.h"

#include <mutex>

#include "platform/Services.h"

namespace vopusb {

namespace {
std::mutex ioLock;
}  // namespace

platform::Handle OpenDriverFile(const char* path) {
  std::lock_guard guard(ioLock);
  return platform::Current().CreateFile(path, platform::kGenericRead | platform::kGenericWrite,
                                        platform::kFileShareRead | platform::kFileShareWrite,
                                        platform::kOpenExisting, 0);
}

bool DriverIoControl(platform::Handle handle, std::uint32_t code, const void* in,
                     std::uint32_t inLength, void* out, std::uint32_t outLength,
                     std::uint32_t* bytesReturned) {
  std::lock_guard guard(ioLock);
  return platform::Current().DeviceIoControl(handle, code, in, inLength, out, outLength,
                                             bytesReturned);
}

}  // namespace vopusb
