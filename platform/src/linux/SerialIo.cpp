#include "linux/SerialIo.h"

#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <limits>

#include "linux/ErrorCodes.h"
#include "platform/WriteProgress.h"

namespace platform::linux_backend {

namespace {

using Clock = std::chrono::steady_clock;
using Milliseconds = std::chrono::milliseconds;

CommTimeouts TimeoutsOf(OpenFile& line) {
  std::lock_guard lock(line.lineMutex);
  return line.timeouts;
}

// Milliseconds left until deadline, at least 0, as poll() takes them.
int Remaining(Clock::time_point deadline) {
  const auto left = std::chrono::duration_cast<Milliseconds>(deadline - Clock::now()).count();
  return static_cast<int>(std::clamp<long long>(left, 0, std::numeric_limits<int>::max()));
}

Clock::time_point After(std::uint64_t milliseconds) {
  return Clock::now() + Milliseconds(static_cast<Milliseconds::rep>(milliseconds));
}

enum class Wait { kReady, kTimedOut, kHungUp, kFailed };

// Waits up to timeoutMs (-1: no limit) for the line to be ready.
Wait WaitReady(int fd, short events, int timeoutMs) {
  pollfd watch{fd, events, 0};
  int ready = 0;
  while ((ready = ::poll(&watch, 1, timeoutMs)) < 0) {
    if (errno != EINTR) {
      return Wait::kFailed;
    }
  }
  if (ready == 0) {
    return Wait::kTimedOut;
  }
  // A line that was hung up (an unplugged adapter) stays readable: its reads return 0 at once.
  // The hang-up is final, so it counts even beside the event waited for.
  if ((watch.revents & (POLLHUP | POLLERR)) != 0) {
    return Wait::kHungUp;
  }
  return Wait::kReady;
}

}  // namespace

bool SerialRead(OpenFile& line, std::uint8_t* buffer, std::uint32_t length, std::uint32_t& count) {
  const CommTimeouts t = TimeoutsOf(line);
  const bool atOnce = t.ReadIntervalTimeout == kMaxDword && t.ReadTotalTimeoutMultiplier == 0 &&
                      t.ReadTotalTimeoutConstant == 0;
  const bool firstBytes =
      t.ReadIntervalTimeout == kMaxDword && t.ReadTotalTimeoutMultiplier == kMaxDword &&
      t.ReadTotalTimeoutConstant != 0 && t.ReadTotalTimeoutConstant != kMaxDword;
  const bool totalLimit =
      firstBytes || t.ReadTotalTimeoutMultiplier != 0 || t.ReadTotalTimeoutConstant != 0;
  const std::uint64_t total = firstBytes ? t.ReadTotalTimeoutConstant
                                         : std::uint64_t{t.ReadTotalTimeoutMultiplier} * length +
                                               t.ReadTotalTimeoutConstant;
  const bool intervalLimit = !firstBytes && t.ReadIntervalTimeout != 0;
  const Clock::time_point deadline = After(total);
  Clock::time_point lastByte = Clock::now();

  count = 0;
  while (count < length) {
    const ssize_t n = ::read(line.fd, buffer + count, length - count);
    if (n > 0) {
      count += static_cast<std::uint32_t>(n);
      lastByte = Clock::now();
      if (firstBytes) {
        break;
      }
      continue;
    }
    // Nothing there now: a raw line without a minimum count reads 0, or EAGAIN.
    if (n < 0 && errno == EINTR) {
      continue;
    }
    if (n < 0 && errno != EAGAIN) {
      return FailFromErrno();
    }
    if (atOnce) {
      break;
    }
    int wait = -1;
    if (totalLimit) {
      wait = Remaining(deadline);
    }
    if (intervalLimit && count > 0) {
      const int gap = Remaining(lastByte + Milliseconds(t.ReadIntervalTimeout));
      wait = wait < 0 ? gap : std::min(wait, gap);
    }
    if (wait == 0) {
      break;
    }
    const Wait waited = WaitReady(line.fd, POLLIN, wait);
    if (waited == Wait::kFailed) {
      return FailFromErrno();
    }
    if (waited == Wait::kHungUp) {
      if (count == 0) {
        SetLastErrorCode(kErrorDeviceNotConnected);
        return false;
      }
      break;  // what came before the line went is the reply; the next read fails
    }
  }
  SetLastErrorCode(kErrorSuccess);
  return true;
}

bool SerialWrite(OpenFile& line, const std::uint8_t* data, std::uint32_t length,
                 std::uint32_t& count) {
  const CommTimeouts t = TimeoutsOf(line);
  const bool totalLimit = t.WriteTotalTimeoutMultiplier != 0 || t.WriteTotalTimeoutConstant != 0;
  const Clock::time_point deadline =
      After(std::uint64_t{t.WriteTotalTimeoutMultiplier} * length + t.WriteTotalTimeoutConstant);

  count = 0;
  while (count < length) {
    const ssize_t n = ::write(line.fd, data + count, length - count);
    if (n > 0) {
      count += static_cast<std::uint32_t>(n);
      CountBytesTaken(count);
      continue;
    }
    if (n < 0 && errno == EINTR) {
      continue;
    }
    if (n < 0 && errno != EAGAIN) {
      return FailFromErrno();
    }
    const int wait = totalLimit ? Remaining(deadline) : -1;
    if (wait == 0) {
      break;
    }
    const Wait waited = WaitReady(line.fd, POLLOUT, wait);
    if (waited == Wait::kFailed) {
      return FailFromErrno();
    }
    if (waited == Wait::kHungUp) {
      SetLastErrorCode(kErrorDeviceNotConnected);
      return false;
    }
  }
  SetLastErrorCode(kErrorSuccess);
  return true;
}

}  // namespace platform::linux_backend
