#include "linux/ParallelIo.h"

#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <thread>

#include "linux/ErrorCodes.h"
#include "platform/WinApi.h"
#include "platform/WriteProgress.h"

namespace platform::linux_backend {

namespace {

using Clock = std::chrono::steady_clock;
using Milliseconds = std::chrono::milliseconds;

int LeftUntil(Clock::time_point deadline) {
  const auto left = std::chrono::duration_cast<Milliseconds>(deadline - Clock::now()).count();
  return static_cast<int>(std::clamp<long long>(left, 0, kWaitSliceMs));
}

// Waits one slice (at most) for the device to be ready for events. A device that claims to
// be ready at once right after an attempt found nothing (/dev/lp) costs a short sleep
// instead, so the retries do not spin. False when poll() itself fails.
bool WaitSlice(int fd, short events, Clock::time_point deadline) {
  const int wait = LeftUntil(deadline);
  pollfd watch{fd, events, 0};
  const auto before = Clock::now();
  const int ready = ::poll(&watch, 1, wait);
  if (ready < 0 && errno != EINTR) {
    return false;
  }
  if (ready > 0 && Clock::now() - before < Milliseconds(1)) {
    std::this_thread::sleep_for(Milliseconds(wait));
  }
  return true;
}

// Waits until the device reports itself writable, at most until the deadline. False, with
// the last error set, when that does not come or poll() fails.
bool WaitUntilWritable(int fd, Clock::time_point deadline) {
  for (;;) {
    const auto left = std::chrono::duration_cast<Milliseconds>(deadline - Clock::now()).count();
    pollfd watch{fd, POLLOUT, 0};
    const int ready = ::poll(&watch, 1, static_cast<int>(std::max<long long>(left, 0)));
    // The printer driver wakes a waiting writer with a hang-up when the printer goes away (a
    // FIFO standing in for a node: with an error when its reader left); the last transfer
    // may then have been cut off, so it does not count as sent.
    if (ready > 0 && (watch.revents & (POLLHUP | POLLERR | POLLNVAL)) != 0) {
      SetLastErrorCode(kErrorDeviceNotConnected);
      return false;
    }
    if (ready > 0) {
      return true;
    }
    if (ready < 0 && errno != EINTR) {
      return FailFromErrno();
    }
    if (ready == 0 && left <= 0) {
      SetLastErrorCode(kErrorSemTimeout);
      return false;
    }
  }
}

}  // namespace

bool ParallelRead(int fd, std::uint8_t* buffer, std::uint32_t length, std::uint32_t& count) {
  count = 0;
  Clock::time_point deadline = Clock::now() + Milliseconds(kReadFirstByteMs);
  while (count < length) {
    const ssize_t n = ::read(fd, buffer + count, length - count);
    if (n > 0) {
      count += static_cast<std::uint32_t>(n);
      deadline = Clock::now() + Milliseconds(kReadGapMs);
      continue;
    }
    if (n < 0 && errno == EINTR) {
      continue;
    }
    // 0 (a stand-in file at its end) or EAGAIN: nothing there now.
    if (n < 0 && errno != EAGAIN) {
      return FailFromErrno();
    }
    if (Clock::now() >= deadline) {
      break;
    }
    if (!WaitSlice(fd, POLLIN, deadline)) {
      return FailFromErrno();
    }
  }
  SetLastErrorCode(kErrorSuccess);
  return true;
}

bool ParallelWrite(int fd, const std::uint8_t* data, std::uint32_t length, std::uint32_t& count,
                   bool untilSent) {
  count = 0;
  Clock::time_point deadline = Clock::now() + Milliseconds(kWriteStallMs);
  while (count < length) {
    const ssize_t n = ::write(fd, data + count, length - count);
    if (n > 0) {
      count += static_cast<std::uint32_t>(n);
      deadline = Clock::now() + Milliseconds(kWriteStallMs);
      if (untilSent && !WaitUntilWritable(fd, deadline)) {
        return false;
      }
      CountBytesTaken(count);
      continue;
    }
    if (n < 0 && errno == EINTR) {
      continue;
    }
    if (n < 0 && errno != EAGAIN) {
      return FailFromErrno();
    }
    if (Clock::now() >= deadline) {
      SetLastErrorCode(kErrorSemTimeout);
      return false;
    }
    if (!WaitSlice(fd, POLLOUT, deadline)) {
      return FailFromErrno();
    }
  }
  SetLastErrorCode(kErrorSuccess);
  return true;
}

}  // namespace platform::linux_backend
