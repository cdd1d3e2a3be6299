#include "FileCache.h"

#include <fcntl.h>
#include <unistd.h>

#include <fstream>
#include <vector>

namespace bench {

namespace {

void WriteOut(const std::filesystem::path& path, bool dropFromCache) {
  const int descriptor = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (descriptor < 0) {
    return;
  }
  ::fdatasync(descriptor);
  if (dropFromCache) {
    ::posix_fadvise(descriptor, 0, 0, POSIX_FADV_DONTNEED);
  }
  ::close(descriptor);
}

}  // namespace

void Warm(const std::filesystem::path& path) {
  WriteOut(path, false);
  std::ifstream in(path, std::ios::binary);
  std::vector<char> block(std::size_t{1} << 20);
  while (in.read(block.data(), static_cast<std::streamsize>(block.size())) || in.gcount() > 0) {
  }
}

void Evict(const std::filesystem::path& path) {
  WriteOut(path, true);
}

}  // namespace bench
