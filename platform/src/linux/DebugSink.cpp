// The debug sink. ZARNIK_DEBUG_OUTPUT chooses where the lines go: "stderr", or the path of a
// file they are appended to. Unset or empty, they go to the system log at debug priority
// under the name "VopP2" (journalctl -t VopP2), which no terminal shows unasked.
#include <fcntl.h>
#include <sys/stat.h>
#include <syslog.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <string_view>

#include "linux/LinuxServices.h"

namespace platform::linux_backend {

namespace {

// Never waits: a FIFO with no reader, or one whose reader lets it fill, loses the line (or its
// rest) instead of holding up the port call that wrote it.
void AppendToFile(const char* path, std::string_view text) {
  const int fd = ::open(path, O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC | O_NONBLOCK, 0644);
  if (fd < 0) {
    return;  // a sink that cannot be written drops the line; the caller has nothing to do
  }
  // Only a FIFO may lose lines to a full pipe; a terminal or file takes every line.
  struct stat status {};
  if (::fstat(fd, &status) == 0 && !S_ISFIFO(status.st_mode)) {
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
  }
  while (!text.empty()) {
    const ssize_t n = ::write(fd, text.data(), text.size());
    if (n <= 0) {
      break;
    }
    text.remove_prefix(static_cast<std::size_t>(n));
  }
  ::close(fd);
}

void ToSystemLog(std::string_view text) {
  static std::once_flag opened;
  std::call_once(opened, [] { ::openlog("VopP2", LOG_PID, LOG_USER); });
  while (!text.empty() && text.back() == '\n') {
    text.remove_suffix(1);
  }
  ::syslog(LOG_DEBUG, "%.*s", static_cast<int>(text.size()), text.data());
}

}  // namespace

void LinuxServices::OutputDebugString(const char* text) {
  if (text == nullptr) {
    return;
  }
  const char* target = std::getenv("ZARNIK_DEBUG_OUTPUT");
  if (target == nullptr || *target == '\0') {
    ToSystemLog(text);
  } else if (std::strcmp(target, "stderr") == 0) {
    std::fputs(text, stderr);
  } else {
    AppendToFile(target, text);
  }
}

}  // namespace platform::linux_backend
