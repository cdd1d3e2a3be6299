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

}  // namespace

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

bool ParallelWrite(int fd, const std::uint8_t* data, std::uint32_t length, std::uint32_t& count) {
  count = 0;
  Clock::time_point deadline = Clock::now() + Milliseconds(kWriteStallMs);
  while (count < length) {
    const ssize_t n = ::write(fd, data + count, length - count);
    if (n > 0) {
      count += static_cast<std::uint32_t>(n);
      CountBytesTaken(count);
      deadline = Clock::now() + Milliseconds(kWriteStallMs);
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
