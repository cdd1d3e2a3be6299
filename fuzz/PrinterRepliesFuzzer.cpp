// Any bytes as the printer's replies, read the way the printer-facing procedures read them:
// the answer to Start Job, the flash size of the capacity reply, the version report, and a
// Status Display that polls the replies left. The input is a run of replies, each a length
// byte followed by that many bytes (fewer at the end of the input). Nothing may read past
// what a reply brought, no control byte may reach the report, and the polling must end.
#include <algorithm>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>

#include "SilentUserInterface.h"
#include "flashjobs/PrinterReplies.h"
#include "flashjobs/StatusPoller.h"

namespace {

// Cuts the next reply from the input; false when the input is used up.
bool NextReply(std::span<const std::uint8_t>& input, flashjobs::Reply& reply) {
  if (input.empty()) {
    return false;
  }
  const std::size_t size = std::min<std::size_t>(input[0], input.size() - 1);
  reply = flashjobs::Reply{};
  std::copy_n(input.begin() + 1, size, reply.bytes.begin());
  reply.size = size;
  input = input.subspan(1 + size);
  return true;
}

// The replies left in the input, then failed reads.
class InputReplies final : public flashjobs::ReplySource {
 public:
  explicit InputReplies(std::span<const std::uint8_t> input) : input_(input) {}
  bool ReadReply(flashjobs::Reply& reply) override { return NextReply(input_, reply); }

 private:
  std::span<const std::uint8_t> input_;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::span<const std::uint8_t> input(data, size);
  flashjobs::Reply startJob;
  flashjobs::Reply capacity;
  flashjobs::Reply configuration;
  flashjobs::Reply engineDetail;
  NextReply(input, startJob);
  NextReply(input, capacity);
  NextReply(input, configuration);
  NextReply(input, engineDetail);

  if (startJob.size <= 2 &&
      flashjobs::StartJobAnswer(startJob) != flashjobs::JobAnswer::kNoAnswer) {
    std::abort();
  }
  const std::uint32_t mbit = flashjobs::FlashMbit(capacity);
  if (mbit > 128 || (mbit & (mbit - 1)) != 0) {
    std::abort();
  }
  for (const char c : flashjobs::VersionReport(configuration, engineDetail)) {
    if (c != '\n' && (c < 0x20 || c >= 0x7F)) {
      std::abort();
    }
  }

  InputReplies replies(input);
  SilentUserInterface ui;
  std::chrono::steady_clock::time_point now{};
  flashjobs::StatusPoller poller(replies, ui, [&now] { return now; });
  poller.Start();
  while (poller.Tick().state == flashjobs::PollState::kPolling) {
    now += flashjobs::StatusPoller::kTickPeriod;
    if (poller.Ticks() > flashjobs::StatusPoller::kTickLimit) {
      std::abort();
    }
  }
  return 0;
}
