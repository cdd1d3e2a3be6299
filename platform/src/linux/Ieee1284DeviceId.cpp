// The device ID of a parallel port: the port is found by the parport number behind the
// descriptor (the minor number of /dev/lpN and /dev/parportN), and its ID read through the
// libieee1284 module (Ieee1284Module.cpp), loaded on the first request.
#include <sys/stat.h>
#include <sys/sysmacros.h>

#include <cstddef>
#include <mutex>
#include <vector>

#include "linux/DeviceId.h"
#include "linux/ErrorCodes.h"
#include "linux/PlatformModule.h"
#include "platform/WinApi.h"

namespace platform::linux_backend {

namespace {

constexpr unsigned kLpMajor = 6;
constexpr unsigned kParportMajor = 99;
constexpr const char* kIeee1284ModuleName = "libzarnik_ieee1284.so";

using ReadDeviceId = long (*)(int number, char* raw, std::size_t room);

// The N of parportN behind the descriptor, or -1 when it is no parallel-port device.
int ParportNumber(int fd) {
  struct stat info {};
  if (::fstat(fd, &info) != 0 || !S_ISCHR(info.st_mode)) {
    return -1;
  }
  const unsigned major = ::major(info.st_rdev);
  if (major != kLpMajor && major != kParportMajor) {
    return -1;
  }
  return static_cast<int>(::minor(info.st_rdev));
}

// The raw ID (length field, text, zero), or an empty vector when the port gives none.
std::vector<char> RawDeviceId(int number, std::size_t room) {
  static std::once_flag loaded;
  static ReadDeviceId read = nullptr;
  std::call_once(loaded, [] {
    read = reinterpret_cast<ReadDeviceId>(
        PlatformModuleEntry(kIeee1284ModuleName, "ZarnikIeee1284DeviceId"));
  });
  std::vector<char> raw(room);
  const long got = read != nullptr ? read(number, raw.data(), raw.size()) : -1;
  raw.resize(got > 0 ? static_cast<std::size_t>(got) : 0);
  return raw;
}

}  // namespace

bool QueryDeviceId(int fd, std::uint8_t* out, std::uint32_t outLength, std::uint32_t& count) {
  count = 0;
  const int number = ParportNumber(fd);
  if (number < 0) {
    SetLastErrorCode(kErrorInvalidFunction);
    return false;
  }
  // Room for the length field, a text one byte longer than fits (to tell a cut one) and
  // the terminating zero.
  const std::vector<char> raw = RawDeviceId(number, std::size_t{outLength} + 4);
  const std::uint32_t error = CopyDeviceIdText(raw.data(), raw.size(), out, outLength, count);
  SetLastErrorCode(error);
  return error == kErrorSuccess;
}

}  // namespace platform::linux_backend
