// The Status Display as the front end shows it. The flash write hands it the poller and goes
// on with End Job once it returns.
#pragma once

#include "flashjobs/JobControl.h"
#include "flashjobs/StatusPoller.h"
#include "flashjobs/Wait.h"

namespace flashjobs {

class StatusDisplay {
 public:
  StatusDisplay() = default;
  StatusDisplay(const StatusDisplay&) = delete;
  StatusDisplay& operator=(const StatusDisplay&) = delete;
  virtual ~StatusDisplay() = default;

  // Shows the three bars, calls poller.Start() and then poller.Tick() every
  // StatusPoller::kTickPeriod while the state is kPolling, and returns when the display has
  // closed: at once for kClosedOk and kClosedCancel, after the person's Cancel (which calls
  // poller.Cancel() while polling) otherwise.
  virtual void Run(StatusPoller& poller) = 0;
};

// Drives a poller from a loop with a wait before each tick, for a front end without an event
// loop. A stop asked of the job (when a control is given) is the display's Cancel. Returns
// the end; a poller waiting for Cancel ends the loop as well.
TickResult RunPollingLoop(StatusPoller& poller, const Wait& wait,
                          const JobControl* control = nullptr);

}  // namespace flashjobs
