// A pseudo-terminal pair for serial tests: the code under test opens the slave as its serial
// line, the test is the peer on the master end.
#pragma once

#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <termios.h>
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

namespace testsupport {

class PseudoTerminal {
 public:
  PseudoTerminal() {
    master_ = ::posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK);
    if (master_ >= 0 && ::grantpt(master_) == 0 && ::unlockpt(master_) == 0) {
      slavePath_ = ::ptsname(master_);
      // Keep one slave descriptor open so that the pair stays usable while the code under
      // test opens and closes its own.
      slave_ = ::open(slavePath_.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    }
  }
  PseudoTerminal(const PseudoTerminal&) = delete;
  PseudoTerminal& operator=(const PseudoTerminal&) = delete;
  ~PseudoTerminal() {
    if (slave_ >= 0) {
      ::close(slave_);
    }
    if (master_ >= 0) {
      ::close(master_);
    }
  }

  bool ok() const { return master_ >= 0 && slave_ >= 0; }
  const std::string& slavePath() const { return slavePath_; }

  // The slave's line settings (the master end reports the slave's termios).
  termios SlaveSettings() const {
    termios settings{};
    ::tcgetattr(master_, &settings);
    return settings;
  }

  void Send(const std::vector<std::uint8_t>& bytes) const {
    std::size_t sent = 0;
    while (sent < bytes.size()) {
      const ssize_t n = ::write(master_, bytes.data() + sent, bytes.size() - sent);
      if (n > 0) {
        sent += static_cast<std::size_t>(n);
      } else {
        pollfd watch{master_, POLLOUT, 0};
        ::poll(&watch, 1, 100);
      }
    }
  }

  // The peer goes away as an unplugged serial adapter does: the line is hung up.
  void HangUp() {
    ::close(master_);
    master_ = -1;
  }

  // Reads until count bytes have come or the time limit has passed.
  std::vector<std::uint8_t> Receive(std::size_t count, int limitMs = 2000) const {
    std::vector<std::uint8_t> bytes;
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(limitMs);
    while (bytes.size() < count && std::chrono::steady_clock::now() < end) {
      std::uint8_t buffer[4096];
      const ssize_t n = ::read(master_, buffer, sizeof buffer);
      if (n > 0) {
        bytes.insert(bytes.end(), buffer, buffer + n);
        continue;
      }
      pollfd watch{master_, POLLIN, 0};
      ::poll(&watch, 1, 20);
    }
    return bytes;
  }

 private:
  int master_ = -1;
  int slave_ = -1;
  std::string slavePath_;
};

}  // namespace testsupport
