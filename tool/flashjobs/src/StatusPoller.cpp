#include "flashjobs/StatusPoller.h"

#include <algorithm>

#include "MessageText.h"
#include "zarnik/Strings.h"

namespace flashjobs {
namespace {

namespace text = zarnik::text;

constexpr std::uint8_t kFinished = 0x01;
constexpr std::uint8_t kNoNews = 0x00;
constexpr std::uint8_t kPhaseBits = 0xC0;
constexpr std::uint8_t kErasing = 0x80;
constexpr std::uint8_t kWriting = 0x40;
constexpr int kFull = 100;

// The six progress bits count in steps of 2 %; the bars end at 100.
int BarPosition(std::uint8_t status) {
  return std::min((status & 0x3F) * 2, kFull);
}

}  // namespace

std::string StatusErrorText(std::uint8_t status) {
  switch (status) {
    case 0x02:
      return std::string(text::kHeaderError);
    case 0x03:
      return std::string(text::kSizeError);
    case 0x04:
      return std::string(text::kSumError);
    case 0x05:
      return std::string(text::kVerifyError);
    case 0x06:
      return std::string(text::kSizeOverError);
    case 0x07:
      return std::string(text::kRecordError);
    default:
      return WithHexByte(text::kStatusCodeFormat, status);
  }
}

StatusPoller::StatusPoller(ReplySource& source, flashtools::UserInterface& ui, SteadyClock clock)
    : source_(source), ui_(ui), clock_(std::move(clock)), started_(clock_()) {}

void StatusPoller::SetProgressListener(std::function<void(const ProgressBars&)> listener) {
  listener_ = std::move(listener);
}

void StatusPoller::Start() {
  last_ = TickResult{};
  ticks_ = 0;
  previous_ = kFinished;
  afterShortReply_ = false;
  started_ = clock_();
  SetBars({});
}

TickResult StatusPoller::Tick() {
  if (last_.state != PollState::kPolling) {
    return last_;
  }
  Reply reply;
  if (!source_.ReadReply(reply)) {
    End(PollState::kWaitingForCancel, PollOutcome::kReadFailed);
    ui_.ShowMessage(text::kFailToRead, text::kError, flashtools::MessageIcon::kExclamation);
    return last_;
  }
  // A reply that ended before its status byte may be the first piece of one the printer
  // paused in for longer than a read waits. What the next read that brings bytes gets is
  // then that reply's rest, whose byte 23 is no status (it could read as "finished"): it
  // counts as no news. A read of no bytes in between changes nothing.
  std::uint8_t status = 0;
  bool reading = false;  // the printer sent a status byte of its own
  if (reply.size > 0) {
    reading = !afterShortReply_ && !FlashStatusMissing(reply);
    status = reading ? FlashStatus(reply) : 0;
    afterShortReply_ = FlashStatusMissing(reply);
  }
  last_.status = status;
  ActOn(status);
  ++ticks_;
  // Only a status byte the printer sent is a reading: "finished" as the first of them is a
  // data error even when reads without one came before.
  if (reading) {
    previous_ = status;
  }
  // A tick that ended the polling has said all there is; the limit is for a write that
  // never ends.
  if (last_.state == PollState::kPolling &&
      (ticks_ >= kTickLimit || clock_() - started_ >= kTimeLimit)) {
    End(PollState::kClosedOk, PollOutcome::kTimeout);
    ui_.ShowMessage(text::kFailToWrite, text::kTimeoutError, flashtools::MessageIcon::kExclamation);
  }
  return last_;
}

void StatusPoller::Cancel() {
  if (last_.state == PollState::kPolling) {
    End(PollState::kClosedCancel, PollOutcome::kCancelled);
  } else if (last_.state == PollState::kWaitingForCancel) {
    End(PollState::kClosedCancel, last_.outcome);
  }
}

void StatusPoller::SetBars(const ProgressBars& bars) {
  last_.bars = bars;
  if (listener_) {
    listener_(bars);
  }
}

void StatusPoller::End(PollState state, PollOutcome outcome) {
  last_.state = state;
  last_.outcome = outcome;
}

void StatusPoller::ActOn(std::uint8_t status) {
  constexpr auto kIcon = flashtools::MessageIcon::kExclamation;
  if (status == kFinished) {
    SetBars({kFull, kFull, kFull});
    if (previous_ == kFinished) {
      End(PollState::kClosedCancel, PollOutcome::kDataError);
      ui_.ShowMessage(text::kDataError, text::kError, kIcon);
    } else {
      End(PollState::kClosedOk, PollOutcome::kComplete);
      ui_.ShowMessage(text::kWritingComplete, text::kComplete, kIcon);
    }
    return;
  }
  if (status == kNoNews) {
    return;
  }
  if ((status & kPhaseBits) == 0) {
    End(PollState::kClosedCancel, PollOutcome::kPrinterError);
    ui_.ShowMessage(StatusErrorText(status), text::kError, kIcon);
    return;
  }
  ProgressBars bars = last_.bars;
  const int position = BarPosition(status);
  switch (status & kPhaseBits) {
    case kErasing:
      bars.erasing = position;
      break;
    case kWriting:
      bars.erasing = kFull;
      bars.writing = position;
      break;
    default:
      bars.erasing = kFull;
      bars.writing = kFull;
      bars.verifying = position;
      break;
  }
  SetBars(bars);
}

}  // namespace flashjobs
