// Where a printer job stands, and a request to stop it, shared between a procedure and its
// front end. The front end may read the stage and ask for the stop from another thread or
// from a signal handler, so both are lock-free atomics.
//
// A stop is honoured between two steps: the step under way (a write, a read, a pause) ends
// first, then an open job is closed with End Job. During the Status Display a stop acts as
// its Cancel.
#pragma once

#include <atomic>

namespace flashjobs {

enum class JobStage : int {
  kNoJob,     // nothing sent to the printer yet
  kOpening,   // Start Job sent, the printer's answer not read yet
  kTransfer,  // the job is open and the data file on its way; the flash is untouched
  kQuerying,  // the job is open and the printer answers status requests
  kFlashing,  // Execute Flash Write sent: the printer erases, writes and verifies its flash
  kClosing,   // End Job on its way
  kClosed,    // End Job sent, or the printer did not accept a job
};

class JobControl {
 public:
  JobStage Stage() const { return stage_.load(); }
  bool StopRequested() const { return stop_.load(); }
  void RequestStop() { stop_.store(true); }

  // For the procedure.
  void Enter(JobStage stage) { stage_.store(stage); }

 private:
  static_assert(std::atomic<JobStage>::is_always_lock_free);
  static_assert(std::atomic<bool>::is_always_lock_free);

  std::atomic<JobStage> stage_{JobStage::kNoJob};
  std::atomic<bool> stop_{false};
};

}  // namespace flashjobs
