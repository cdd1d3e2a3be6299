// The print-queue question, through the real machine's printers key and the CUPS module it
// loads, against a print server on loopback that accepts the connection (the kernel does,
// from the backlog) and never answers.
#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <stdlib.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <string>

#include "platform/Services.h"

namespace platform {
namespace {

TEST(PrintServer, AServerThatNeverAnswersCostsAFewSecondsAndNoQueues) {
  const int server = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t length = sizeof address;
  auto* raw = reinterpret_cast<sockaddr*>(&address);
  ASSERT_EQ(::bind(server, raw, length), 0);
  ASSERT_EQ(::listen(server, 4), 0);
  ASSERT_EQ(::getsockname(server, raw, &length), 0);
  const std::string name = "127.0.0.1:" + std::to_string(ntohs(address.sin_port));
  ::setenv("CUPS_SERVER", name.c_str(), 1);

  Services& os = RealMachine();
  const auto start = std::chrono::steady_clock::now();
  RegistryKey printers = kNoKey;
  ASSERT_EQ(os.RegOpenKeyEx(kHkeyLocalMachine, R"(System\CurrentControlSet\Control\Print\Printers)",
                            kKeyRead, &printers),
            kRegSuccess);
  char queue[261];
  std::uint32_t queueLength = sizeof queue;
  EXPECT_EQ(os.RegEnumKeyEx(printers, 0, queue, &queueLength),
            static_cast<std::int32_t>(kErrorNoMoreItems));
  EXPECT_EQ(os.RegCloseKey(printers), kRegSuccess);
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10));
  pollfd connected{server, POLLIN, 0};
  EXPECT_EQ(::poll(&connected, 1, 0), 1);  // the module was loaded and this server was asked
  ::unsetenv("CUPS_SERVER");
  ::close(server);
}

}  // namespace
}  // namespace platform
