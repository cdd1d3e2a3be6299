// The print queues through libcups. The connection is made here, with a time-out, so that
// only the configured server is asked (no network browsing) and a missing server costs no
// more than a refused connection.
#include <cups/cups.h>

#include "linux/PrintQueues.h"

namespace platform::linux_backend {

namespace {

constexpr int kConnectTimeoutMs = 3000;

}  // namespace

std::vector<PrintQueue> ListPrintQueues() {
  http_t* server = httpConnect2(cupsServer(), ippPort(), nullptr, AF_UNSPEC, cupsEncryption(), 1,
                                kConnectTimeoutMs, nullptr);
  if (server == nullptr) {
    return {};
  }
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

}  // namespace platform::linux_backend
