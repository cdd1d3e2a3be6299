// The print-queue question against a print server on loopback that accepts the connection and
// never answers: the caller gets no queues within a few seconds, and the question gives up.
#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <poll.h>
#include <stdlib.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <string>

#include "linux/PrintQueues.h"

namespace platform::linux_backend {
namespace {

// Listens on 127.0.0.1; the kernel completes connections from its backlog, nothing is read.
class SilentServer {
 public:
  SilentServer() {
    listener_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    auto* raw = reinterpret_cast<sockaddr*>(&address);
    if (listener_ >= 0 && ::bind(listener_, raw, length) == 0 && ::listen(listener_, 4) == 0 &&
        ::getsockname(listener_, raw, &length) == 0) {
      port_ = ntohs(address.sin_port);
    }
  }
  SilentServer(const SilentServer&) = delete;
  SilentServer& operator=(const SilentServer&) = delete;
  ~SilentServer() { ::close(listener_); }

  int port() const { return port_; }

  // Takes the connection that came, and waits up to limitMs for the caller to close it.
  // Returns whether a connection came and was closed again.
  bool ConnectionCameAndWasDropped(int limitMs) const {
    pollfd pending{listener_, POLLIN, 0};
    if (::poll(&pending, 1, 0) != 1) {
      return false;
    }
    const int peer = ::accept(listener_, nullptr, nullptr);
    pollfd closed{peer, POLLIN, 0};
    char request[4096];
    bool dropped = false;
    while (!dropped && ::poll(&closed, 1, limitMs) == 1) {
      dropped = ::read(peer, request, sizeof request) <= 0;  // the request, then its end
    }
    ::close(peer);
    return dropped;
  }

 private:
  int listener_ = -1;
  int port_ = 0;
};

TEST(PrintServer, AServerThatNeverAnswersCostsAFewSecondsAndNoQueues) {
  SilentServer server;
  ASSERT_NE(server.port(), 0);
  const std::string address = "127.0.0.1:" + std::to_string(server.port());
  ::setenv("CUPS_SERVER", address.c_str(), 1);

  const auto start = std::chrono::steady_clock::now();
  EXPECT_TRUE(ListPrintQueues().empty());
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10));
  EXPECT_TRUE(server.ConnectionCameAndWasDropped(10000));  // asked there, then gave up
  ::unsetenv("CUPS_SERVER");
}

}  // namespace
}  // namespace platform::linux_backend
