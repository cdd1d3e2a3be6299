// The Status Display's polling: on every tick one reply is read and its flash status byte
// (byte 23) moves the erase, write and verify bars, or ends the polling with completion, an
// error, or a time-out after 3000 ticks or 300 seconds, whichever comes first (a printer
// slow to answer each read would otherwise stretch the limit far beyond its 300 seconds).
// The poller has no timer of its own: the window calls Tick from a 100 ms timer, the command
// line from a sleep loop, tests directly.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <string>

#include "flashjobs/PrinterReplies.h"
#include "flashtools/UserInterface.h"

namespace flashjobs {

// Where the poller's replies come from.
class ReplySource {
 public:
  ReplySource() = default;
  ReplySource(const ReplySource&) = delete;
  ReplySource& operator=(const ReplySource&) = delete;
  virtual ~ReplySource() = default;

  // Reads one reply into a cleared reply (its size says how many bytes came); false when the
  // read failed. A reply of no bytes is no news, not a failure.
  virtual bool ReadReply(Reply& reply) = 0;
};

// The poller's clock: the time since some fixed point, never going back.
using SteadyClock = std::function<std::chrono::steady_clock::time_point()>;

// Bar positions, each 0 to 100.
struct ProgressBars {
  int erasing = 0;
  int writing = 0;
  int verifying = 0;
  friend bool operator==(const ProgressBars&, const ProgressBars&) = default;
};

enum class PollState {
  kPolling,           // the timer keeps running
  kWaitingForCancel,  // the timer has stopped; the display stays until the person cancels
  kClosedOk,          // the display closes with OK
  kClosedCancel,      // the display closes with Cancel
};

enum class PollOutcome {
  kNone,          // still polling
  kComplete,      // "Writing complete!"
  kDataError,     // "finished" as the very first reading: "Data Error"
  kPrinterError,  // an error code of the status table
  kTimeout,       // 3000 ticks or 300 seconds without an end: "Fail to write"
  kReadFailed,    // "Fail to read!"
  kCancelled,     // the person closed the display while it was polling
};

struct TickResult {
  PollState state = PollState::kPolling;
  PollOutcome outcome = PollOutcome::kNone;
  ProgressBars bars;
  std::uint8_t status = 0;  // the status byte of the last reply read
};

class StatusPoller {
 public:
  static constexpr std::uint32_t kTickLimit = 3000;
  static constexpr std::chrono::milliseconds kTickPeriod{100};
  static constexpr std::chrono::seconds kTimeLimit{300};

  // Messages go to ui; every one shows the exclamation icon. The time limit is measured on
  // the clock from Start().
  StatusPoller(ReplySource& source, flashtools::UserInterface& ui,
               SteadyClock clock = std::chrono::steady_clock::now);

  // Called with the bars whenever they are set.
  void SetProgressListener(std::function<void(const ProgressBars&)> listener);

  // Bars to 0, tick counter 0, previous status "finished", polling; the time limit starts.
  void Start();
  // One timer tick. Once the polling has ended it reads nothing and returns the end again.
  TickResult Tick();
  // The person pressed Cancel.
  void Cancel();

  const TickResult& Last() const { return last_; }
  std::uint32_t Ticks() const { return ticks_; }

 private:
  void SetBars(const ProgressBars& bars);
  void End(PollState state, PollOutcome outcome);
  void ActOn(std::uint8_t status);

  ReplySource& source_;
  flashtools::UserInterface& ui_;
  SteadyClock clock_;
  std::function<void(const ProgressBars&)> listener_;
  std::chrono::steady_clock::time_point started_;
  TickResult last_;
  std::uint32_t ticks_ = 0;
  std::uint8_t previous_ = 1;
  bool afterShortReply_ = false;  // the last read brought a reply that ended before its status
};

// The display text of an error status (0x02-0x3F).
std::string StatusErrorText(std::uint8_t status);

}  // namespace flashjobs
