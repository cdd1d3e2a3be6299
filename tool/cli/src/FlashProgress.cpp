#include "FlashProgress.h"

#include <array>
#include <ostream>
#include <string>

#include "zarnik/Strings.h"

namespace cli {
namespace {

namespace text = zarnik::text;

constexpr int kBarWidth = 20;

std::string Bar(std::string_view label, int percent) {
  const int filled = percent * kBarWidth / 100;
  std::string bar(label);
  bar += " [";
  bar.append(static_cast<std::size_t>(filled), '#');
  bar.append(static_cast<std::size_t>(kBarWidth - filled), ' ');
  const std::string number = std::to_string(percent);
  bar += "] " + std::string(3 - number.size(), ' ') + number + "%";
  return bar;
}

}  // namespace

void FlashProgress::Show(const flashjobs::ProgressBars& bars) {
  if (terminal_) {
    out_ << '\r' << Bar(text::kErasingLabel, bars.erasing) << "  "
         << Bar(text::kWritingLabel, bars.writing) << "  "
         << Bar(text::kVerifyingLabel, bars.verifying) << std::flush;
    lineOpen_ = true;
    return;
  }
  const std::array<std::pair<std::string_view, int>, 3> phases{{
      {text::kErasingLabel, bars.erasing},
      {text::kWritingLabel, bars.writing},
      {text::kVerifyingLabel, bars.verifying},
  }};
  std::array<int*, 3> printed{&printed_.erasing, &printed_.writing, &printed_.verifying};
  for (std::size_t i = 0; i < phases.size(); ++i) {
    const int tenth = phases[i].second / 10 * 10;
    if (tenth > *printed[i]) {
      std::string label(phases[i].first);
      if (label.back() != ':') {
        label += ':';
      }
      out_ << label << ' ' << tenth << "%\n";
      *printed[i] = tenth;
    }
  }
  out_.flush();
}

void FlashProgress::EndLine() {
  if (lineOpen_) {
    out_ << '\n' << std::flush;
    lineOpen_ = false;
  }
}

void PollingStatusDisplay::Run(flashjobs::StatusPoller& poller) {
  poller.SetProgressListener([this](const flashjobs::ProgressBars& bars) { progress_.Show(bars); });
  const flashjobs::TickResult end =
      flashjobs::RunPollingLoop(poller, flashjobs::SleepOnThisThread, &control_);
  if (end.state == flashjobs::PollState::kWaitingForCancel) {
    poller.Cancel();
  }
  progress_.EndLine();
}

void FlashUserInterface::ShowMessage(std::string_view text, std::string_view caption,
                                     flashtools::MessageIcon icon) {
  progress_.EndLine();
  inner_.ShowMessage(text, caption, icon);
}

bool FlashUserInterface::Confirm(std::string_view text, std::string_view caption,
                                 flashtools::MessageIcon icon) {
  progress_.EndLine();
  if (assumeYes_) {
    out_ << caption << ": " << text << " (--yes)\n" << std::flush;
    return true;
  }
  const bool confirmed = inner_.Confirm(text, caption, icon);
  declined_ = !confirmed;
  return confirmed;
}

}  // namespace cli
