// Work that must be closed before the program ends (a printer job: End Job after the step
// under way). While a DeferSignals lives, SIGINT, SIGTERM and SIGHUP do not end the program at
// once: the first calls stop(context), which must be safe in a signal handler (a store to an
// atomic), and is kept; when the guard goes, the handlers before it come back and the kept
// signal is raised again, so the program ends by it once the work has been closed. A second
// signal while the guard lives ends the program at once, the way the signal asks. One guard
// at a time; a signal ignored when the guard was made stays ignored.
#pragma once

namespace cleanup {

class DeferSignals {
 public:
  using Stop = void (*)(void* context);
  DeferSignals(Stop stop, void* context);
  ~DeferSignals();
  DeferSignals(const DeferSignals&) = delete;
  DeferSignals& operator=(const DeferSignals&) = delete;
};

}  // namespace cleanup
