#include "cleanup/RemoveOnSignal.h"

#include <signal.h>
#include <unistd.h>

#include <array>
#include <atomic>
#include <cstring>

namespace cleanup {
namespace {

// A slot holds a path while its flag is set. The path is written before the flag is raised
// and only read by the handler while the flag is up, so the handler never sees half a path.
struct Slot {
  std::atomic<bool> used{false};
  std::atomic<bool> armed{false};
  char path[4096] = {};
};

std::array<Slot, kGuardSlots>& Slots() {
  static std::array<Slot, kGuardSlots> slots;
  return slots;
}

constexpr std::array<int, 3> kSignals{SIGINT, SIGTERM, SIGHUP};

std::atomic<int> holds{0};
std::atomic<int> held{0};  // the first signal that came during a hold

void OnSignal(int signal) {
  if (holds.load() > 0) {
    int none = 0;
    held.compare_exchange_strong(none, signal);
    // On another thread the hold may have ended meanwhile without seeing this signal: then
    // whichever side takes the kept signal first acts on it.
    if (holds.load() > 0) {
      return;
    }
    signal = held.exchange(0);
    if (signal == 0) {
      return;
    }
  }
  RemoveGuardedFiles();
  // End the way the signal asks, so the parent sees the true cause.
  struct sigaction fallback {};
  fallback.sa_handler = SIG_DFL;
  sigemptyset(&fallback.sa_mask);
  ::sigaction(signal, &fallback, nullptr);
  ::raise(signal);
}

}  // namespace

RemoveOnSignal::RemoveOnSignal(const std::filesystem::path& path) : slot_(kGuardSlots) {
  const std::string& text = path.native();
  auto& slots = Slots();
  if (text.size() >= sizeof slots[0].path) {
    return;
  }
  for (std::size_t i = 0; i < slots.size(); ++i) {
    bool expected = false;
    if (slots[i].used.compare_exchange_strong(expected, true)) {
      std::memcpy(slots[i].path, text.c_str(), text.size() + 1);
      slots[i].armed.store(true);
      slot_ = i;
      return;
    }
  }
}

RemoveOnSignal::~RemoveOnSignal() {
  Release();
}

void RemoveOnSignal::Release() {
  if (!Guarding()) {
    return;
  }
  Slot& slot = Slots()[slot_];
  slot.armed.store(false);
  slot.used.store(false);
  slot_ = kGuardSlots;
}

HoldSignals::HoldSignals() {
  holds.fetch_add(1);
}

HoldSignals::~HoldSignals() {
  if (holds.fetch_sub(1) == 1) {
    if (const int signal = held.exchange(0); signal != 0) {
      OnSignal(signal);
    }
  }
}

void InstallSignalCleanup() {
  static std::atomic<bool> installed{false};
  if (installed.exchange(true)) {
    return;
  }
  ::signal(SIGXFSZ, SIG_IGN);
  ::signal(SIGPIPE, SIG_IGN);
  for (const int signal : kSignals) {
    struct sigaction previous {};
    if (::sigaction(signal, nullptr, &previous) != 0 || previous.sa_handler == SIG_IGN) {
      continue;
    }
    struct sigaction action {};
    action.sa_handler = OnSignal;
    sigemptyset(&action.sa_mask);
    ::sigaction(signal, &action, nullptr);
  }
}

void RemoveGuardedFiles() {
  for (Slot& slot : Slots()) {
    if (slot.armed.load()) {
      ::unlink(slot.path);
    }
  }
}

}  // namespace cleanup
