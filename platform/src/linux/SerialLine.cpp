// Serial line control: event mask, queues, line settings and time-outs.
#include <sys/ioctl.h>
#include <termios.h>

#include <cerrno>

#include "linux/CommSettings.h"
#include "linux/ErrorCodes.h"
#include "linux/LinuxServices.h"

namespace platform::linux_backend {

namespace {

// Raises or lowers one modem control line. A line without such lines (a pseudo-terminal)
// refuses the request; that is not a failure of the settings.
bool SetModemLine(int fd, int line, bool raised) {
  if (::ioctl(fd, raised ? TIOCMBIS : TIOCMBIC, &line) == 0) {
    return true;
  }
  return errno == ENOTTY || errno == EINVAL;
}

// DTR has no handshake on Linux: "handshake" keeps it raised, as an always-ready receiver.
// RTS is the kernel's while CRTSCTS is on.
bool ApplyModemLines(int fd, const CommState& state, bool hardwareFlow) {
  if (!SetModemLine(fd, TIOCM_DTR, state.fDtrControl != kDtrControlDisable)) {
    return false;
  }
  if (!hardwareFlow && !SetModemLine(fd, TIOCM_RTS, state.fRtsControl != kRtsControlDisable)) {
    return false;
  }
  return true;
}

}  // namespace

std::shared_ptr<OpenFile> LinuxServices::FindSerial(Handle handle) {
  auto line = Find(handle);
  if (line != nullptr && !line->serial) {
    SetLastErrorCode(kErrorInvalidFunction);
    return nullptr;
  }
  return line;
}

bool LinuxServices::SetCommMask(Handle handle, std::uint32_t mask) {
  auto line = FindSerial(handle);
  if (line == nullptr) {
    return false;
  }
  std::lock_guard lock(line->lineMutex);
  line->commMask = mask;
  return true;
}

bool LinuxServices::SetupComm(Handle handle, std::uint32_t /*inQueue*/,
                              std::uint32_t /*outQueue*/) {
  // The kernel's tty buffers have fixed sizes; the request is accepted as advice.
  return FindSerial(handle) != nullptr;
}

bool LinuxServices::GetCommState(Handle handle, CommState* state) {
  auto line = FindSerial(handle);
  if (line == nullptr) {
    return false;
  }
  termios settings{};
  if (::tcgetattr(line->fd, &settings) != 0) {
    return FailFromErrno();
  }
  std::lock_guard lock(line->lineMutex);
  CommState current = line->shadow;
  ReadCommState(settings, current);
  *state = current;
  return true;
}

bool LinuxServices::SetCommState(Handle handle, const CommState& state) {
  auto line = FindSerial(handle);
  if (line == nullptr) {
    return false;
  }
  termios settings{};
  if (::tcgetattr(line->fd, &settings) != 0) {
    return FailFromErrno();
  }
  const std::uint32_t refused = ApplyCommState(state, settings);
  if (refused != kErrorSuccess) {
    SetLastErrorCode(refused);
    return false;
  }
  if (::tcsetattr(line->fd, TCSANOW, &settings) != 0 ||
      !ApplyModemLines(line->fd, state, (settings.c_cflag & CRTSCTS) != 0)) {
    return FailFromErrno();
  }
  std::lock_guard lock(line->lineMutex);
  line->shadow = state;
  return true;
}

bool LinuxServices::SetCommTimeouts(Handle handle, const CommTimeouts& timeouts) {
  auto line = FindSerial(handle);
  if (line == nullptr) {
    return false;
  }
  std::lock_guard lock(line->lineMutex);
  line->timeouts = timeouts;
  return true;
}

}  // namespace platform::linux_backend
