// The device ID through libieee1284: the port is found among the library's ports by the
// parport number behind the descriptor (the minor number of /dev/lpN and /dev/parportN).
// A fresh ID is asked of the printer first (IEEE 1284 negotiation through ppdev); where
// that is not allowed or fails, the ID the kernel read at boot (autoprobe) is taken.
#include <ieee1284.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>

#include <string>
#include <vector>

#include "linux/DeviceId.h"
#include "linux/ErrorCodes.h"
#include "platform/WinApi.h"

namespace platform::linux_backend {

namespace {

constexpr unsigned kLpMajor = 6;
constexpr unsigned kParportMajor = 99;

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
  parport_list ports{};
  if (ieee1284_find_ports(&ports, 0) != E1284_OK) {
    return {};
  }
  const std::string name = "parport" + std::to_string(number);
  std::vector<char> raw(room);
  ssize_t got = -1;
  for (int i = 0; i < ports.portc && got < 0; ++i) {
    parport* port = ports.portv[i];
    if (port->name == nullptr || name != port->name) {
      continue;
    }
    got = ieee1284_get_deviceid(port, -1, F1284_FRESH, raw.data(), raw.size());
    if (got < 0) {
      got = ieee1284_get_deviceid(port, -1, 0, raw.data(), raw.size());
    }
  }
  ieee1284_free_ports(&ports);
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
