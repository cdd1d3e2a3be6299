// Where a printer job stands, and a request to stop it, shared between a procedure and its
// front end. The front end may read the stage and ask for the stop from another thread or
// from a signal handler, so both are lock-free atomics.
//
// A stop is honoured between two steps: the step under way (a write, a read, a pause) ends
// first, then an open job is closed with End Job. During the Status Display a stop acts as
// its Cancel.
#pragma once

#include <atomic>
#include <cstdint>

namespace flashjobs {

enum class JobStage : int {
  kNoJob,      // nothing sent to the printer yet
  kOpening,    // Start Job sent, the printer's answer not read yet
  kTransfer,   // the job is open and the data file on its way; the flash is untouched
  kQuerying,   // the job is open and the printer answers status requests
  kFlashing,   // Execute Flash Write sent: the printer erases, writes and verifies its flash
  kClosing,    // End Job on its way
  kClosed,     // End Job sent
  kNotOpened,  // Start Job could not be sent, or the printer did not accept it: no job is open
};

class JobControl {
 public:
  JobStage Stage() const { return stage_.load(); }
  bool StopRequested() const { return stop_.load(); }
  void RequestStop() { stop_.store(true); }
  // A stop that a signal asked for (the program is to end): nobody may be there to answer.
  void RequestStopBySignal() {
    bySignal_.store(true);
    stop_.store(true);
  }
  bool StoppedBySignal() const { return bySignal_.load(); }

  // For the procedure.
  void Enter(JobStage stage) { stage_.store(stage); }

  // Whether the printer was told to write its flash and never reported the write complete:
  // its flash may then be erased or half written.
  bool FlashUnfinished() const { return flashUnfinished_.load(); }
  void NoteFlashUnfinished(bool unfinished) { flashUnfinished_.store(unfinished); }

  // Whether a frame, or the data stream a Download Firmware frame announced, stopped part way:
  // the printer then takes whatever comes next as its rest, so no End Job can close the job.
  bool PrinterMidMessage() const { return midMessage_.load(); }
  void NotePrinterMidMessage() { midMessage_.store(true); }

  // The data stream of the flash write, for the front end's progress (DataStreamProgress.h):
  // its length, the port layer's count of bytes taken when it began, when it began (steady
  // clock, nanoseconds), and once it has ended the bytes that went.
  enum class Stream : int { kNone, kSending, kSent };
  void BeginStream(std::uint64_t length, std::uint64_t countAtStart, std::int64_t startNs) {
    streamLength_.store(length);
    streamBase_.store(countAtStart);
    streamStartNs_.store(startNs);
    stream_.store(Stream::kSending);
  }
  void EndStream(std::uint64_t sent, std::int64_t endNs) {
    streamSent_.store(sent);
    streamEndNs_.store(endNs);
    stream_.store(Stream::kSent);
  }
  Stream StreamState() const { return stream_.load(); }
  std::uint64_t StreamLength() const { return streamLength_.load(); }
  std::uint64_t StreamBase() const { return streamBase_.load(); }
  std::int64_t StreamStartNs() const { return streamStartNs_.load(); }
  std::uint64_t StreamSent() const { return streamSent_.load(); }
  std::int64_t StreamEndNs() const { return streamEndNs_.load(); }

 private:
  static_assert(std::atomic<JobStage>::is_always_lock_free);
  static_assert(std::atomic<bool>::is_always_lock_free);
  static_assert(std::atomic<std::uint64_t>::is_always_lock_free);

  std::atomic<JobStage> stage_{JobStage::kNoJob};
  std::atomic<bool> stop_{false};
  std::atomic<bool> bySignal_{false};
  std::atomic<bool> flashUnfinished_{false};
  std::atomic<bool> midMessage_{false};
  std::atomic<Stream> stream_{Stream::kNone};
  std::atomic<std::uint64_t> streamLength_{0};
  std::atomic<std::uint64_t> streamBase_{0};
  std::atomic<std::int64_t> streamStartNs_{0};
  std::atomic<std::uint64_t> streamSent_{0};
  std::atomic<std::int64_t> streamEndNs_{0};
};

}  // namespace flashjobs
