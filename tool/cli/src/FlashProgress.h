// The flash write's progress on the command line: the data stream on its way to the printer
// (bytes sent of the total, a bar and the rate), then the Status Display's erase, write and
// verify bars. On a terminal each shows as one line, rewritten as it moves and never wider
// than the terminal; elsewhere (a log, a pipe) a plain line is printed whenever a value
// reaches another tenth. The data stream is followed from a thread of its own while the
// procedure is busy sending it, so every output goes through one lock.
#pragma once

#include <condition_variable>
#include <iosfwd>
#include <mutex>
#include <string>
#include <thread>

#include "flashjobs/DataStreamProgress.h"
#include "flashjobs/StatusDisplay.h"
#include "flashtools/UserInterface.h"

namespace cli {

class FlashProgress {
 public:
  // columns: the terminal's width (ignored elsewhere).
  FlashProgress(std::ostream& out, bool terminal, int columns = 80)
      : out_(out), terminal_(terminal), columns_(columns) {}

  // The job whose data stream is shown; set before the job starts.
  void Follow(const flashjobs::JobControl& control) { control_ = &control; }
  // Shows the data stream as it stands; once it has ended, its last state and the line's end,
  // once.
  void RefreshStream();

  void Show(const flashjobs::ProgressBars& bars);
  // Ends a progress line still open (after the data stream's end), so that the next text
  // starts on a line of its own.
  void EndLine();

 private:
  void RefreshStreamLocked();
  void ShowStreamLocked(const flashjobs::DataStreamProgress& stream);
  // A terminal line in place of the one shown; a shorter one blanks what is left of it.
  void Rewrite(const std::string& line);
  void EndLineLocked();

  std::mutex mutex_;
  std::ostream& out_;
  bool terminal_;
  int columns_;
  const flashjobs::JobControl* control_ = nullptr;
  bool lineOpen_ = false;
  std::size_t lineWidth_ = 0;
  bool streamEnded_ = false;
  int streamTenth_ = 0;              // the tenths already printed, in plain mode
  flashjobs::ProgressBars printed_;  // likewise
};

// While it lives, a thread refreshes the data stream's progress a few times a second.
class StreamMeter {
 public:
  explicit StreamMeter(FlashProgress& progress);
  ~StreamMeter();
  StreamMeter(const StreamMeter&) = delete;
  StreamMeter& operator=(const StreamMeter&) = delete;

 private:
  FlashProgress& progress_;
  std::mutex mutex_;
  std::condition_variable wake_;
  bool stop_ = false;
  std::thread thread_;
};

// Polls every 100 ms on this thread. A display left waiting for Cancel after a failed read
// closes at once: the failure has been printed and nobody is there to press Cancel. A stop
// asked of the job (an interrupt) is the display's Cancel.
class PollingStatusDisplay final : public flashjobs::StatusDisplay {
 public:
  PollingStatusDisplay(FlashProgress& progress, const flashjobs::JobControl& control)
      : progress_(progress), control_(control) {}
  void Run(flashjobs::StatusPoller& poller) override;

 private:
  FlashProgress& progress_;
  const flashjobs::JobControl& control_;
};

// The person's side of a flash write: messages go to the inner interface once the progress
// line is ended; the flash size confirmation is answered yes by --yes, else asked.
class FlashUserInterface final : public flashtools::UserInterface {
 public:
  FlashUserInterface(flashtools::UserInterface& inner, std::ostream& out, FlashProgress& progress,
                     bool assumeYes)
      : inner_(inner), out_(out), progress_(progress), assumeYes_(assumeYes) {}

  void ShowMessage(std::string_view text, std::string_view caption,
                   flashtools::MessageIcon icon) override;
  bool Confirm(std::string_view text, std::string_view caption,
               flashtools::MessageIcon icon) override;

  bool Declined() const { return declined_; }

 private:
  flashtools::UserInterface& inner_;
  std::ostream& out_;
  FlashProgress& progress_;
  bool assumeYes_;
  bool declined_ = false;
};

}  // namespace cli
