// The Status Display's polling against a scripted printer: bars, every outcome of the status
// table, read failures, Cancel and the tick limit.
#include <gtest/gtest.h>

#include <deque>
#include <optional>

#include "RecordingUi.h"
#include "flashjobs/StatusDisplay.h"

namespace flashjobs::test {
namespace {

// A reply of no bytes, and one of 10 bytes, in a script.
constexpr int kEmpty = -1;
constexpr int kShort = -2;

// Replies whose byte 23 is the next scripted status; an empty entry is a failed read, kEmpty
// a reply of no bytes (whose buffer still holds an old "finished"). When the script runs out
// every read reports "no news".
class ScriptedReplies : public ReplySource {
 public:
  explicit ScriptedReplies(std::deque<std::optional<int>> script) : script_(std::move(script)) {}

  bool ReadReply(Reply& reply) override {
    ++reads;
    if (script_.empty()) {
      reply.size = 32;
      return true;
    }
    const auto next = script_.front();
    script_.pop_front();
    if (!next) {
      return false;
    }
    reply.bytes[23] = *next < 0 ? 0x01 : static_cast<std::uint8_t>(*next);
    reply.size = *next == kEmpty ? 0 : *next == kShort ? 10 : 32;
    return true;
  }

  int reads = 0;

 private:
  std::deque<std::optional<int>> script_;
};

struct Poll {
  explicit Poll(std::deque<std::optional<int>> script)
      : replies(std::move(script)), poller(replies, ui, [this] { return now; }) {
    poller.SetProgressListener([this](const ProgressBars& bars) { seen.push_back(bars); });
  }
  TickResult RunToEnd() {
    return RunPollingLoop(poller, [this](std::chrono::milliseconds period) { waited += period; });
  }

  std::chrono::steady_clock::time_point now{};  // the poller's clock
  ScriptedReplies replies;
  RecordingUi ui;
  StatusPoller poller;
  std::vector<ProgressBars> seen;
  std::chrono::milliseconds waited{0};
};

TEST(StatusPoller, MovesTheBarsThroughTheThreePhasesToWritingComplete) {
  Poll poll({0x85, 0x5F, 0xD0, 0x01});
  const TickResult end = poll.RunToEnd();
  EXPECT_EQ(end.state, PollState::kClosedOk);
  EXPECT_EQ(end.outcome, PollOutcome::kComplete);
  EXPECT_EQ(poll.seen, (std::vector<ProgressBars>{
                           {0, 0, 0}, {10, 0, 0}, {100, 62, 0}, {100, 100, 32}, {100, 100, 100}}));
  EXPECT_EQ(poll.ui.messages, (std::vector<Message>{Shown("Writing complete!", "Complete")}));
  EXPECT_EQ(poll.replies.reads, 4);
  EXPECT_EQ(poll.waited, std::chrono::milliseconds(400));
}

TEST(StatusPoller, FinishedAsTheVeryFirstReadingIsADataError) {
  Poll first({0x01});
  EXPECT_EQ(first.RunToEnd().outcome, PollOutcome::kDataError);
  EXPECT_EQ(first.poller.Last().state, PollState::kClosedCancel);
  EXPECT_EQ(first.poller.Last().bars, (ProgressBars{100, 100, 100}));
  EXPECT_EQ(first.ui.messages, (std::vector<Message>{Shown("Data Error", "Error")}));

  Poll afterNoNews({0x00, 0x01});
  EXPECT_EQ(afterNoNews.RunToEnd().outcome, PollOutcome::kComplete);
  // Reads that brought no status byte of the printer's are no reading.
  for (const auto& script : {std::deque<std::optional<int>>{kEmpty, 0x01},
                             std::deque<std::optional<int>>{kShort, 0x00, 0x01}}) {
    Poll late(script);
    EXPECT_EQ(late.RunToEnd().outcome, PollOutcome::kDataError);
  }
}

TEST(StatusPoller, ShowsTheStatusTableTextOfEveryErrorCode) {
  const std::vector<std::pair<std::uint8_t, std::string>> table = {
      {0x02, "Header Error!"}, {0x03, "Size Error!"},     {0x04, "Sum Error!"},
      {0x05, "Verify Error!"}, {0x06, "Size Over Error"}, {0x07, "Record Error!"},
      {0x08, "Code: 08"},      {0x2A, "Code: 2a"},        {0x3F, "Code: 3f"}};
  for (const auto& [code, message] : table) {
    Poll poll({0x80, code, 0x01});
    const TickResult end = poll.RunToEnd();
    EXPECT_EQ(end.outcome, PollOutcome::kPrinterError) << int{code};
    EXPECT_EQ(end.state, PollState::kClosedCancel);
    EXPECT_EQ(end.status, code);
    EXPECT_EQ(poll.ui.messages, (std::vector<Message>{Shown(message, "Error")}));
    EXPECT_EQ(poll.replies.reads, 2);
  }
}

TEST(StatusPoller, KeepsBarsWithinTheirRangeAndUntouchedByNoNews) {
  Poll poll({0xBF, 0x00, 0x7F, 0xFF});
  poll.poller.Start();
  EXPECT_EQ(poll.poller.Tick().bars, (ProgressBars{100, 0, 0}));
  EXPECT_EQ(poll.poller.Tick().bars, (ProgressBars{100, 0, 0}));
  EXPECT_EQ(poll.poller.Tick().bars, (ProgressBars{100, 100, 0}));
  EXPECT_EQ(poll.poller.Tick().bars, (ProgressBars{100, 100, 100}));
  EXPECT_EQ(poll.poller.Last().state, PollState::kPolling);
  EXPECT_TRUE(poll.ui.messages.empty());
}

TEST(StatusPoller, AFailedReadStopsPollingUntilTheDisplayIsCancelled) {
  Poll poll({0x81, std::nullopt, 0x01});
  const TickResult end = poll.RunToEnd();
  EXPECT_EQ(end.state, PollState::kWaitingForCancel);
  EXPECT_EQ(end.outcome, PollOutcome::kReadFailed);
  EXPECT_EQ(poll.ui.messages, (std::vector<Message>{Shown("Fail to read!", "Error")}));
  poll.poller.Tick();
  EXPECT_EQ(poll.replies.reads, 2);  // a stopped timer reads nothing more
  poll.poller.Cancel();
  EXPECT_EQ(poll.poller.Last().state, PollState::kClosedCancel);
  EXPECT_EQ(poll.poller.Last().outcome, PollOutcome::kReadFailed);
}

TEST(StatusPoller, CancelWhilePollingEndsWithoutAMessage) {
  Poll poll({0x80, 0x82});
  poll.poller.Start();
  poll.poller.Tick();
  poll.poller.Cancel();
  EXPECT_EQ(poll.poller.Last().outcome, PollOutcome::kCancelled);
  poll.poller.Tick();
  EXPECT_EQ(poll.replies.reads, 1);
  EXPECT_TRUE(poll.ui.messages.empty());
}

TEST(StatusPoller, GivesUpAfterThreeThousandTicksWithoutAnEnd) {
  Poll poll({0x80, 0x81});
  const TickResult end = poll.RunToEnd();
  EXPECT_EQ(end.state, PollState::kClosedOk);
  EXPECT_EQ(end.outcome, PollOutcome::kTimeout);
  EXPECT_EQ(poll.replies.reads, 3000);
  EXPECT_EQ(poll.poller.Ticks(), 3000U);
  EXPECT_EQ(poll.ui.messages, (std::vector<Message>{Shown("Fail to write", "Timeout Error")}));
}

// A printer slow to answer (0.6 s a read on a parallel port) must not stretch the limit
// to half an hour; a reply of no bytes is no news, whatever the buffer held before.
TEST(StatusPoller, GivesUpAfterThreeHundredSecondsWhenEveryReadIsSlowOrEmpty) {
  Poll poll({0x80, kEmpty, kEmpty});
  poll.poller.Start();
  TickResult result;
  do {
    poll.now += std::chrono::milliseconds(600);
    result = poll.poller.Tick();
  } while (result.state == PollState::kPolling);
  EXPECT_EQ(result.outcome, PollOutcome::kTimeout);
  EXPECT_EQ(poll.poller.Ticks(), 500U);
  EXPECT_EQ(poll.ui.messages, (std::vector<Message>{Shown("Fail to write", "Timeout Error")}));
}

TEST(StatusPoller, AnEndOnTheLastTickIsNotAlsoATimeout) {
  std::deque<std::optional<int>> script(2999, 0x00);
  script.push_back(0x01);
  Poll poll(std::move(script));
  EXPECT_EQ(poll.RunToEnd().outcome, PollOutcome::kComplete);
  EXPECT_EQ(poll.ui.messages, (std::vector<Message>{Shown("Writing complete!", "Complete")}));
}

// A reply split in two by a pause: its rest, read as a reply of its own, holds no status.
TEST(StatusPoller, TheRestOfAShortReplyIsNoNews) {
  Poll poll({kShort, 0x01, 0x85, kShort, kEmpty, 0x02, kShort, kShort, 0x03, 0x01});
  EXPECT_EQ(poll.RunToEnd().outcome, PollOutcome::kComplete);
  EXPECT_EQ(poll.replies.reads, 10);
  EXPECT_EQ(poll.ui.messages, (std::vector<Message>{Shown("Writing complete!", "Complete")}));
}

TEST(StatusPoller, StartBeginsAFreshRun) {
  Poll poll({0x01, 0x00, 0x01});
  poll.RunToEnd();
  EXPECT_EQ(poll.poller.Last().outcome, PollOutcome::kDataError);
  EXPECT_EQ(poll.RunToEnd().outcome, PollOutcome::kComplete);
  EXPECT_EQ(poll.poller.Ticks(), 2U);
}

}  // namespace
}  // namespace flashjobs::test
