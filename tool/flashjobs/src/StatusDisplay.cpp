#include "flashjobs/StatusDisplay.h"

namespace flashjobs {

TickResult RunPollingLoop(StatusPoller& poller, const Wait& wait) {
  poller.Start();
  TickResult result = poller.Last();
  while (result.state == PollState::kPolling) {
    wait(StatusPoller::kTickPeriod);
    result = poller.Tick();
  }
  return result;
}

}  // namespace flashjobs
