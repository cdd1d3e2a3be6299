// The print queues through libcups, built as a module of its own (libzarnik_cups.so) that the
// platform loads the first time it needs the queues: libcups and the libraries behind it cost
// every program start several milliseconds, and most runs never ask. The connection is made
// here, so that only the configured server is asked (no network browsing), and the whole
// question is bounded: a server that accepts the connection and never answers, or a name that
// takes long to look up, costs at most kAnswerLimit.
#include <cups/cups.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>
#include <utility>

#include "linux/PrintQueues.h"

namespace platform::linux_backend {

namespace {

using Clock = std::chrono::steady_clock;

constexpr std::chrono::milliseconds kAnswerLimit{3000};
// libcups waits for the server in slices of this many seconds and asks KeepWaiting between.
constexpr double kWaitSliceSeconds = 0.25;

// One question to the server, shared by the caller and the thread that asks it.
struct Question {
  Clock::time_point deadline;
  std::mutex mutex;
  std::condition_variable answered;
  bool done = false;
  std::vector<PrintQueue> queues;
};

// At most one question is out at a time: while one is still waiting for a silent server,
// another look gets no queues at once instead of a second thread waiting beside it.
std::atomic<bool> asking{false};

int KeepWaiting(http_t* /*server*/, void* question) {
  return Clock::now() < static_cast<const Question*>(question)->deadline ? 1 : 0;
}

std::vector<PrintQueue> AskServer(Question& question) {
  // The server's name first: it also sets the port when CUPS_SERVER names one.
  const char* name = cupsServer();
  const int port = ippPort();
  const auto left =
      std::chrono::duration_cast<std::chrono::milliseconds>(question.deadline - Clock::now());
  http_t* server = httpConnect2(name, port, nullptr, AF_UNSPEC, cupsEncryption(), 1,
                                static_cast<int>(std::max<long long>(left.count(), 1)), nullptr);
  if (server == nullptr) {
    return {};
  }
  httpSetTimeout(server, kWaitSliceSeconds, KeepWaiting, &question);
  cups_dest_t* dests = nullptr;
  const int count = cupsGetDests2(server, &dests);
  std::vector<PrintQueue> queues;
  for (int i = 0; i < count; ++i) {
    const cups_dest_t& dest = dests[i];
    if (dest.instance != nullptr || dest.name == nullptr) {
      continue;  // instances are option sets of a queue, not queues
    }
    const char* uri = cupsGetOption("device-uri", dest.num_options, dest.options);
    queues.push_back({dest.name, uri != nullptr ? uri : ""});
  }
  cupsFreeDests(count, dests);
  httpClose(server);
  return queues;
}

}  // namespace

std::vector<PrintQueue> AskCupsForQueues() {
  if (asking.exchange(true)) {
    return {};
  }
  auto question = std::make_shared<Question>();
  question->deadline = Clock::now() + kAnswerLimit;
  // The question runs on a thread of its own, so that the caller's wait ends at the deadline
  // whatever libcups does; the thread itself gives up soon after through KeepWaiting.
  std::thread([question] {
    std::vector<PrintQueue> queues = AskServer(*question);
    {
      const std::lock_guard lock(question->mutex);
      question->queues = std::move(queues);
      question->done = true;
    }
    asking = false;
    question->answered.notify_all();
  }).detach();
  std::unique_lock lock(question->mutex);
  if (!question->answered.wait_until(lock, question->deadline, [&] { return question->done; })) {
    return {};
  }
  return std::move(question->queues);
}

}  // namespace platform::linux_backend

// The module's entry point: each queue handed to add, name and device address.
extern "C" __attribute__((visibility("default"))) void ZarnikCupsListQueues(
    void (*add)(void* context, const char* name, const char* deviceUri), void* context) {
  for (const platform::linux_backend::PrintQueue& queue :
       platform::linux_backend::AskCupsForQueues()) {
    add(context, queue.name.c_str(), queue.deviceUri.c_str());
  }
}
