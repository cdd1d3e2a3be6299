#include "RegularFileReader.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace flashjobs {

RegularFileReader::RegularFileReader(const std::filesystem::path& path) {
  // Without O_NONBLOCK opening a FIFO waits for a writer; a regular file reads the same with it.
  const int descriptor = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
  if (descriptor < 0) {
    return;
  }
  struct stat status {};
  if (::fstat(descriptor, &status) != 0 || !S_ISREG(status.st_mode)) {
    ::close(descriptor);
    return;
  }
  descriptor_ = descriptor;
}

RegularFileReader::~RegularFileReader() {
  if (descriptor_ >= 0) {
    ::close(descriptor_);
  }
}

std::optional<std::uint64_t> RegularFileReader::Length() const {
  struct stat status {};
  if (descriptor_ < 0 || ::fstat(descriptor_, &status) != 0 || status.st_size < 0) {
    return std::nullopt;
  }
  return static_cast<std::uint64_t>(status.st_size);
}

std::size_t RegularFileReader::Read(std::span<std::uint8_t> into) {
  std::size_t done = 0;
  while (descriptor_ >= 0 && done < into.size()) {
    const ssize_t got = ::read(descriptor_, into.data() + done, into.size() - done);
    if (got < 0 && errno == EINTR) {
      continue;
    }
    if (got <= 0) {
      break;
    }
    done += static_cast<std::size_t>(got);
  }
  return done;
}

}  // namespace flashjobs
