#include "cleanup/DeferSignals.h"

#include <signal.h>

#include <array>
#include <atomic>
#include <cstddef>

namespace cleanup {
namespace {

constexpr std::array<int, 3> kSignals{SIGINT, SIGTERM, SIGHUP};

// The handler reads these, so they are lock-free atomics (or written before it is installed).
std::atomic<DeferSignals::Stop> stopWork{nullptr};
std::atomic<void*> stopContext{nullptr};
// The signal kept while the guard lives; kClosed once the guard's end has taken it.
constexpr int kClosed = -1;
std::atomic<int> kept{0};
std::atomic<int> asked{0};  // SIGINT and SIGTERM only: somebody asking
std::array<struct sigaction, kSignals.size()> previous{};
// A second signal may restore the handlers on another thread while the guard's end restores
// them too. Both then give a signal its handler back before they go on (the guard's end raises
// the kept signal next, which must find the handler from before the guard).
std::array<std::atomic<bool>, kSignals.size()> taken{};

void Restore() {
  for (std::size_t i = 0; i < kSignals.size(); ++i) {
    if (taken[i].load()) {
      ::sigaction(kSignals[i], &previous[i], nullptr);
      taken[i].store(false);
    }
  }
}

void OnSignal(int signal) {
  const int asks = signal == SIGHUP ? 0 : asked.fetch_add(1) + 1;
  int none = 0;
  if (kept.compare_exchange_strong(none, signal)) {
    if (const DeferSignals::Stop stop = stopWork.load()) {
      stop(stopContext.load());
    }
    return;
  }
  // Entered on another thread just as the guard ended: the guard has given the signals their
  // handlers back and will not look for a kept one again, so the signal is raised anew.
  if (none == kClosed) {
    ::raise(signal);
    return;
  }
  // A closed terminal sends SIGHUP more than once (the shell passes its own on to its jobs),
  // and a logout may follow it with SIGTERM: only a second SIGINT or SIGTERM asks again, and
  // the program then ends now.
  if (asks < 2) {
    return;
  }
  Restore();
  ::raise(signal);
}

}  // namespace

DeferSignals::DeferSignals(Stop stop, void* context) {
  kept.store(0);
  asked.store(0);
  stopContext.store(context);
  stopWork.store(stop);
  for (std::size_t i = 0; i < kSignals.size(); ++i) {
    taken[i].store(false);
    if (::sigaction(kSignals[i], nullptr, &previous[i]) != 0 || previous[i].sa_handler == SIG_IGN) {
      continue;
    }
    struct sigaction action {};
    action.sa_handler = OnSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    taken[i].store(::sigaction(kSignals[i], &action, nullptr) == 0);
  }
}

DeferSignals::~DeferSignals() {
  Restore();
  stopWork.store(nullptr);
  if (const int signal = kept.exchange(kClosed); signal > 0) {
    ::raise(signal);
  }
}

}  // namespace cleanup
