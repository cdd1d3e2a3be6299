#include <signal.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <cstdlib>

#include "Terminal.h"

namespace cli {
namespace {

constexpr int kDefaultColumns = 80;

}  // namespace

bool StandardOutputIsTerminal() {
  return ::isatty(STDOUT_FILENO) != 0;
}

int StandardOutputColumns() {
  winsize size{};
  if (::ioctl(STDOUT_FILENO, TIOCGWINSZ, &size) == 0 && size.ws_col > 0) {
    return size.ws_col;
  }
  if (const char* columns = std::getenv("COLUMNS"); columns != nullptr) {
    char* end = nullptr;
    const long value = std::strtol(columns, &end, 10);
    if (end != columns && *end == '\0' && value > 0 && value < 10000) {
      return static_cast<int>(value);
    }
  }
  return kDefaultColumns;
}

std::thread StartThreadWithoutSignals(std::function<void()> work) {
  sigset_t all{};
  sigset_t before{};
  sigfillset(&all);
  // The new thread takes the mask of the thread that starts it.
  ::pthread_sigmask(SIG_SETMASK, &all, &before);
  std::thread thread(std::move(work));
  ::pthread_sigmask(SIG_SETMASK, &before, nullptr);
  return thread;
}

}  // namespace cli
