// Ctrl-C and SIGTERM while a printer job runs. Killing the program at once would leave the
// job open in the printer, so while a JobInterrupts lives it takes both signals over: the
// first interrupt says what state the printer is in and asks the job to stop (the job is
// closed with End Job once the step under way ends; during the Status Display it acts as its
// Cancel), a second abandons the job and ends the program. Before anything was sent the first
// interrupt ends the program at once. The signals' earlier handlers come back afterwards.
#pragma once

#include <string_view>

#include "flashjobs/JobControl.h"

namespace cli {

// What an interrupt does: the text said at once on standard error, and whether the program
// ends at once (with kExitInterrupted).
struct InterruptResponse {
  std::string_view text;
  bool endNow = false;
};

// The response to the count-th interrupt (1 for the first) arriving at the stage. Safe to
// call from a signal handler.
InterruptResponse RespondToInterrupt(int count, flashjobs::JobStage stage);

class JobInterrupts {
 public:
  explicit JobInterrupts(flashjobs::JobControl& control);
  ~JobInterrupts();
  JobInterrupts(const JobInterrupts&) = delete;
  JobInterrupts& operator=(const JobInterrupts&) = delete;

  bool Interrupted() const;
  // The stage the job was in at the first interrupt.
  flashjobs::JobStage StageAtFirst() const;
};

}  // namespace cli
