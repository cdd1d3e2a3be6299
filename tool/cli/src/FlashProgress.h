// The Status Display on the command line. On a terminal one line shows the erase, write and
// verify bars and is rewritten as they move; elsewhere (a log, a pipe) a plain line is
// printed whenever a bar reaches another tenth.
#pragma once

#include <iosfwd>

#include "flashjobs/StatusDisplay.h"
#include "flashtools/UserInterface.h"

namespace cli {

class FlashProgress {
 public:
  FlashProgress(std::ostream& out, bool terminal) : out_(out), terminal_(terminal) {}

  void Show(const flashjobs::ProgressBars& bars);
  // Ends a progress line still open, so that the next text starts on a line of its own.
  void EndLine();

 private:
  std::ostream& out_;
  bool terminal_;
  bool lineOpen_ = false;
  flashjobs::ProgressBars printed_;  // the tenths already printed, in plain mode
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
