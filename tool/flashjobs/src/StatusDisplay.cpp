#include "flashjobs/StatusDisplay.h"

namespace flashjobs {

TickResult RunPollingLoop(StatusPoller& poller, const Wait& wait, const JobControl* control) {
  const auto stopped = [control] { return control != nullptr && control->StopRequested(); };
  poller.Start();
  while (poller.Last().state == PollState::kPolling) {
    wait(StatusPoller::kTickPeriod);
    if (stopped()) {
      poller.Cancel();
      break;
    }
    poller.Tick();
  }
  return poller.Last();
}

}  // namespace flashjobs
