#include "linux/HandleTable.h"

#include <sys/ioctl.h>
#include <unistd.h>

#include <utility>

namespace platform::linux_backend {

OpenFile::~OpenFile() {
  if (exclusive) {
    ::ioctl(fd, TIOCNXCL);
  }
  if (fd >= 0) {
    ::close(fd);
  }
}

Handle HandleTable::Add(std::shared_ptr<OpenFile> file) {
  std::lock_guard lock(mutex_);
  const Handle handle = next_;
  next_ += 4;
  files_.emplace(handle, std::move(file));
  return handle;
}

std::shared_ptr<OpenFile> HandleTable::Find(Handle handle) {
  std::lock_guard lock(mutex_);
  auto it = files_.find(handle);
  return it == files_.end() ? nullptr : it->second;
}

bool HandleTable::Remove(Handle handle) {
  std::shared_ptr<OpenFile> last;  // closed outside the lock
  std::lock_guard lock(mutex_);
  auto it = files_.find(handle);
  if (it == files_.end()) {
    return false;
  }
  last = std::move(it->second);
  files_.erase(it);
  return true;
}

}  // namespace platform::linux_backend
