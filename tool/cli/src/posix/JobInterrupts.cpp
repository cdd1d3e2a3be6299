#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <array>
#include <atomic>

#include "Command.h"
#include "JobInterrupts.h"
#include "cleanup/RemoveOnSignal.h"

namespace cli {
namespace {

constexpr std::array<int, 3> kSignals{SIGINT, SIGTERM, SIGHUP};  // SIGHUP: the terminal went away

// One job at a time; the handler reads these, so they are lock-free atomics.
std::atomic<flashjobs::JobControl*> current{nullptr};
std::atomic<int> interrupts{0};
std::atomic<int> asked{0};  // SIGINT and SIGTERM only: somebody asking
std::atomic<flashjobs::JobStage> stageAtFirst{flashjobs::JobStage::kNoJob};
std::array<struct sigaction, kSignals.size()> previous{};
std::array<bool, kSignals.size()> taken{};

void Say(std::string_view text) {
  if (text.empty()) {
    return;
  }
  // A progress line may be open on the terminal: the text starts on a line of its own.
  const std::array<std::string_view, 3> parts{"\n", text, "\n"};
  for (const std::string_view part : parts) {
    const ssize_t ignored = ::write(STDERR_FILENO, part.data(), part.size());
    static_cast<void>(ignored);
  }
}

// A confirmation prompt waiting for an answer, or about to wait for one, reads none: the job
// is stopping. A read under way returns as well, since the handlers do not restart calls.
void StopAnswering() {
  const int nothing = ::open("/dev/null", O_RDONLY);
  if (nothing >= 0) {
    ::dup2(nothing, STDIN_FILENO);
    ::close(nothing);
  }
}

void OnInterrupt(int signal) {
  flashjobs::JobControl* control = current.load();
  if (control == nullptr) {
    return;
  }
  // A closed terminal sends SIGHUP more than once (the shell passes its own on to its jobs),
  // and a logout may follow it with SIGTERM: only a second SIGINT or SIGTERM is somebody
  // asking again.
  const int asks = signal == SIGHUP ? 0 : asked.fetch_add(1) + 1;
  const bool first = interrupts.fetch_add(1) == 0;
  if (!first && asks < 2) {
    return;
  }
  const flashjobs::JobStage stage = control->Stage();
  if (first) {
    stageAtFirst.store(stage);
  }
  control->RequestStop();
  StopAnswering();
  const InterruptResponse response = RespondToInterrupt(first ? 1 : 2, stage);
  Say(response.text);
  if (response.endNow) {
    cleanup::RemoveGuardedFiles();
    ::_exit(kExitInterrupted);
  }
}

}  // namespace

JobInterrupts::JobInterrupts(flashjobs::JobControl& control) {
  interrupts.store(0);
  asked.store(0);
  stageAtFirst.store(flashjobs::JobStage::kNoJob);
  current.store(&control);
  for (std::size_t i = 0; i < kSignals.size(); ++i) {
    taken[i] = false;
    // A signal ignored when the program started stays ignored.
    if (::sigaction(kSignals[i], nullptr, &previous[i]) != 0 || previous[i].sa_handler == SIG_IGN) {
      continue;
    }
    struct sigaction action {};
    action.sa_handler = OnInterrupt;
    sigemptyset(&action.sa_mask);
    // No SA_RESTART: a confirmation prompt waiting on the terminal returns, declined. The
    // port transfers and pauses retry interrupted calls themselves.
    action.sa_flags = 0;
    taken[i] = ::sigaction(kSignals[i], &action, nullptr) == 0;
  }
}

JobInterrupts::~JobInterrupts() {
  for (std::size_t i = 0; i < kSignals.size(); ++i) {
    if (taken[i]) {
      ::sigaction(kSignals[i], &previous[i], nullptr);
    }
  }
  current.store(nullptr);
}

bool JobInterrupts::Interrupted() const {
  return interrupts.load() > 0;
}

flashjobs::JobStage JobInterrupts::StageAtFirst() const {
  return stageAtFirst.load();
}

}  // namespace cli
