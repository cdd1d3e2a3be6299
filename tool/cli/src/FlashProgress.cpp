#include "FlashProgress.h"

#include <algorithm>
#include <array>
#include <chrono>
#include <ostream>

#include "Terminal.h"
#include "zarnik/Strings.h"

namespace cli {
namespace {

namespace text = zarnik::text;
using flashjobs::JobControl;

constexpr int kLongestStatusBar = 20;
constexpr int kLongestStreamBar = 30;
constexpr auto kStreamRefresh = std::chrono::milliseconds(200);

// "Erasing: [####    ] 100%"; a bar width of 0 leaves out the bar.
std::string Segment(std::string_view label, int percent, int barWidth) {
  std::string segment(label);
  if (barWidth > 0) {
    const int filled = percent * barWidth / 100;
    segment += " [";
    segment.append(static_cast<std::size_t>(filled), '#');
    segment.append(static_cast<std::size_t>(barWidth - filled), ' ');
    segment += "]";
  }
  const std::string number = std::to_string(percent);
  segment += " " + std::string(3 - number.size(), ' ') + number + "%";
  return segment;
}

// The widest bars (each taking its width and 3 more) that keep a line of the given length
// without bars within the terminal, less its last column: some terminals wrap a line that
// reaches it.
int BarWidth(int columns, std::size_t lengthWithoutBars, int bars, int longest) {
  const int room = (columns - 1 - static_cast<int>(lengthWithoutBars)) / bars - 3;
  return std::clamp(room, 0, longest);
}

std::string StatusLine(const flashjobs::ProgressBars& bars, int barWidth) {
  return Segment(text::kErasingLabel, bars.erasing, barWidth) + "  " +
         Segment(text::kWritingLabel, bars.writing, barWidth) + "  " +
         Segment(text::kVerifyingLabel, bars.verifying, barWidth);
}

// On a terminal too narrow for the three phases side by side, the phase under way alone (the
// last one begun), so that its figure is never the part cut off.
std::string PhaseUnderWay(const flashjobs::ProgressBars& bars) {
  if (bars.verifying > 0) {
    return Segment(text::kVerifyingLabel, bars.verifying, 0);
  }
  if (bars.writing > 0) {
    return Segment(text::kWritingLabel, bars.writing, 0);
  }
  return Segment(text::kErasingLabel, bars.erasing, 0);
}

std::string StreamLine(const flashjobs::DataStreamProgress& stream, int barWidth) {
  return Segment(text::kSendingLabel, stream.Percent(), barWidth) + "  " +
         flashjobs::DescribeDataStream(stream);
}

// A plain line's label ends in a colon.
std::string PlainLabel(std::string_view label) {
  std::string plain(label);
  if (plain.back() != ':') {
    plain += ':';
  }
  return plain;
}

}  // namespace

void FlashProgress::RefreshStream() {
  const std::lock_guard lock(mutex_);
  RefreshStreamLocked();
}

void FlashProgress::RefreshStreamLocked() {
  if (control_ == nullptr || streamEnded_) {
    return;
  }
  const flashjobs::DataStreamProgress stream = flashjobs::CurrentDataStream(*control_);
  if (stream.state == JobControl::Stream::kNone) {
    return;
  }
  ShowStreamLocked(stream);
  if (stream.state == JobControl::Stream::kSent) {
    streamEnded_ = true;
    EndLineLocked();
  }
}

void FlashProgress::ShowStreamLocked(const flashjobs::DataStreamProgress& stream) {
  if (terminal_) {
    const std::size_t plain = StreamLine(stream, 0).size();
    Rewrite(StreamLine(stream, BarWidth(columns_, plain, 1, kLongestStreamBar)));
    return;
  }
  const int tenth = stream.Percent() / 10 * 10;
  if (tenth > streamTenth_) {
    out_ << PlainLabel(text::kSendingLabel) << ' ' << stream.Percent() << "% ("
         << flashjobs::DescribeDataStream(stream) << ")\n"
         << std::flush;
    streamTenth_ = tenth;
  }
}

void FlashProgress::Show(const flashjobs::ProgressBars& bars) {
  const std::lock_guard lock(mutex_);
  RefreshStreamLocked();
  if (terminal_) {
    const std::size_t plain = StatusLine(bars, 0).size();
    Rewrite(static_cast<int>(plain) < columns_
                ? StatusLine(bars, BarWidth(columns_, plain, 3, kLongestStatusBar))
                : PhaseUnderWay(bars));
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
      out_ << PlainLabel(phases[i].first) << ' ' << tenth << "%\n";
      *printed[i] = tenth;
    }
  }
  out_.flush();
}

void FlashProgress::Rewrite(const std::string& line) {
  const std::size_t fits = static_cast<std::size_t>(std::max(columns_ - 1, 1));
  const std::string shown = line.substr(0, fits);
  out_ << '\r' << shown;
  if (shown.size() < lineWidth_) {
    out_ << std::string(lineWidth_ - shown.size(), ' ');
  }
  out_ << std::flush;
  lineWidth_ = shown.size();
  lineOpen_ = true;
}

void FlashProgress::EndLine() {
  const std::lock_guard lock(mutex_);
  RefreshStreamLocked();
  EndLineLocked();
}

void FlashProgress::EndLineLocked() {
  if (lineOpen_) {
    out_ << '\n' << std::flush;
    lineOpen_ = false;
    lineWidth_ = 0;
  }
}

StreamMeter::StreamMeter(FlashProgress& progress)
    : progress_(progress), thread_(StartThreadWithoutSignals([this] {
        std::unique_lock lock(mutex_);
        while (!wake_.wait_for(lock, kStreamRefresh, [this] { return stop_; })) {
          lock.unlock();
          progress_.RefreshStream();
          lock.lock();
        }
      })) {}

StreamMeter::~StreamMeter() {
  {
    const std::lock_guard lock(mutex_);
    stop_ = true;
  }
  wake_.notify_all();
  thread_.join();
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
