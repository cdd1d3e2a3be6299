#include "cleanup/DurableRename.h"

#include <fcntl.h>
#include <unistd.h>

namespace cleanup {

bool RenameDurably(const std::filesystem::path& from, const std::filesystem::path& to) {
  if (::rename(from.c_str(), to.c_str()) != 0) {
    return false;
  }
  // Best effort from here on: the new file is in place whatever the folder's sync gives.
  const std::filesystem::path folder = to.has_parent_path() ? to.parent_path() : ".";
  const int descriptor = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (descriptor >= 0) {
    ::fsync(descriptor);
    ::close(descriptor);
  }
  return true;
}

}  // namespace cleanup
