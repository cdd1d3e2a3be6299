#include "WriteBehind.h"

#include <pthread.h>
#include <signal.h>

#include <new>
#include <system_error>

#include "FileIo.h"

namespace flashtools {

WriteBehind::~WriteBehind() {
  {
    const std::lock_guard lock(mutex_);
    stopping_ = true;
  }
  changed_.notify_all();
  if (thread_.joinable()) {
    thread_.join();
  }
}

bool WriteBehind::StartThread() {
  // The thread takes no signals: they go to the program's own thread, which holds them back
  // while a result replaces a file and removes an unfinished output when they come.
  sigset_t all;
  sigset_t previous;
  ::sigfillset(&all);
  ::pthread_sigmask(SIG_SETMASK, &all, &previous);
  try {
    thread_ = std::thread(&WriteBehind::Run, this);
  } catch (const std::system_error&) {
    // Written by the caller instead.
  } catch (const std::bad_alloc&) {
    // Likewise; the signals are let through again below either way.
  }
  ::pthread_sigmask(SIG_SETMASK, &previous, nullptr);
  return thread_.joinable();
}

bool WriteBehind::Start(int descriptor, std::span<const std::uint8_t> bytes,
                        std::uint64_t position) {
  if (!thread_.joinable() && !StartThread()) {
    return false;
  }
  {
    const std::lock_guard lock(mutex_);
    descriptor_ = descriptor;
    bytes_ = bytes;
    position_ = position;
    busy_ = true;
  }
  changed_.notify_all();
  return true;
}

bool WriteBehind::Wait() {
  std::unique_lock lock(mutex_);
  changed_.wait(lock, [this] { return !busy_; });
  return !failed_;
}

void WriteBehind::Run() {
  std::unique_lock lock(mutex_);
  for (;;) {
    changed_.wait(lock, [this] { return busy_ || stopping_; });
    if (!busy_) {
      return;
    }
    const int descriptor = descriptor_;
    const std::span<const std::uint8_t> bytes = bytes_;
    const std::uint64_t position = position_;
    lock.unlock();
    const bool whole = WriteAllAt(descriptor, bytes, position);
    lock.lock();
    failed_ = failed_ || !whole;
    busy_ = false;
    changed_.notify_all();
  }
}

}  // namespace flashtools
