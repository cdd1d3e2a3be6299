#include "cleanup/DurableRename.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

namespace cleanup {

bool RenameDurably(const std::filesystem::path& from, const std::filesystem::path& to) {
  if (::rename(from.c_str(), to.c_str()) != 0) {
    return false;
  }
  const std::filesystem::path folder = to.has_parent_path() ? to.parent_path() : ".";
  const int descriptor = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (descriptor < 0) {
    return false;
  }
  const bool synced = ::fsync(descriptor) == 0 || errno == EINVAL;
  const int error = errno;
  ::close(descriptor);
  errno = error;
  return synced;
}

}  // namespace cleanup
