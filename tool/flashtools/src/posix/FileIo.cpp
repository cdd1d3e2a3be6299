#include "FileIo.h"

#include <unistd.h>

#include <cerrno>

namespace flashtools {

long ReadAt(int descriptor, std::uint8_t* into, std::size_t count, std::uint64_t offset,
            bool seekable) {
  for (;;) {
    const ssize_t got = seekable ? ::pread(descriptor, into, count, static_cast<off_t>(offset))
                                 : ::read(descriptor, into, count);
    if (got >= 0 || errno != EINTR) {
      return static_cast<long>(got);
    }
  }
}

bool WriteAllAt(int descriptor, std::span<const std::uint8_t> bytes, std::uint64_t offset) {
  while (!bytes.empty()) {
    const ssize_t put =
        ::pwrite(descriptor, bytes.data(), bytes.size(), static_cast<off_t>(offset));
    if (put < 0 && errno == EINTR) {
      continue;
    }
    if (put <= 0) {
      return false;
    }
    bytes = bytes.subspan(static_cast<std::size_t>(put));
    offset += static_cast<std::uint64_t>(put);
  }
  return true;
}

}  // namespace flashtools
