// zarnik-usb-bench [MEGABYTES] [REPEATS]
// Sends MEGABYTES MiB (default 64) through VopP2Write(PORT_USB) to a USB printer node and
// copies the same bytes to the same node in plain 4096-byte write() calls, in the same run,
// best of REPEATS (default 7) each, and prints the port library's time as a ratio of the
// plain copy's. Exit status 1 when the library's overhead is more than 10 %.
//
// The printer driver sends a write on a non-blocking node after the call has returned and
// asks such a writer to wait with poll() until the node is writable again, else closing the
// node cancels what is still under way. The plain copy is that writer: non-blocking, each
// block followed by its poll(), as the port library must do.
//
// The node is /dev/usb/lp0 of an emulated device tree (umockdev) backed by a file in memory,
// so the program must run under umockdev's preload library (scripts/bench-usb.sh does that).
#include <fcntl.h>
#include <poll.h>
#include <umockdev.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "VopP2.h"

namespace {

constexpr std::size_t kBlock = 4096;
constexpr double kMiB = 1024.0 * 1024.0;
constexpr const char* kNode = "/dev/usb/lp0";

using Clock = std::chrono::steady_clock;

double Seconds(Clock::time_point start) {
  return std::chrono::duration<double>(Clock::now() - start).count();
}

double PlainCopy(const std::vector<std::uint8_t>& data) {
  const auto start = Clock::now();
  const int fd = ::open(kNode, O_WRONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) {
    std::perror(kNode);
    std::exit(2);
  }
  for (std::size_t at = 0; at < data.size();) {
    const ssize_t n = ::write(fd, data.data() + at, std::min(kBlock, data.size() - at));
    pollfd sent{fd, POLLOUT, 0};
    if (n <= 0 || ::poll(&sent, 1, 10000) != 1) {
      std::perror("write");
      std::exit(2);
    }
    at += static_cast<std::size_t>(n);
  }
  ::close(fd);
  return Seconds(start);
}

double PortLibrary(const std::vector<std::uint8_t>& data) {
  const auto start = Clock::now();
  std::uint32_t written = 0;
  if (VopP2Write(PORT_USB, data.data(), static_cast<std::uint32_t>(data.size()), &written) == 0 ||
      written != data.size()) {
    std::fprintf(stderr, "VopP2Write(PORT_USB) failed: %s", VopP2GetMessage());
    std::exit(2);
  }
  return Seconds(start);
}

}  // namespace

int main(int argc, char** argv) {
  const long megabytes = argc > 1 ? std::strtol(argv[1], nullptr, 10) : 64;
  const int repeats = argc > 2 ? static_cast<int>(std::strtol(argv[2], nullptr, 10)) : 7;
  if (megabytes <= 0 || megabytes > 1024 || repeats <= 0) {
    std::fprintf(stderr, "usage: zarnik-usb-bench [MEGABYTES 1-1024] [REPEATS]\n");
    return 2;
  }
  // The node's file lives in memory (tmpfs), so that disk writeback does not drown the
  // difference being measured.
  std::error_code noShm;
  if (std::filesystem::is_directory("/dev/shm", noShm)) {
    setenv("TMPDIR", "/dev/shm", 1);
  }
  UMockdevTestbed* testbed = umockdev_testbed_new();
  gchar* root = umockdev_testbed_get_root_dir(testbed);
  const std::filesystem::path node = std::filesystem::path(root) / "dev/usb/lp0";
  g_free(root);
  std::filesystem::create_directories(node.parent_path());
  std::ofstream created(node);
  created.close();

  std::vector<std::uint8_t> data(static_cast<std::size_t>(megabytes) * 1024 * 1024);
  for (std::size_t i = 0; i < data.size(); ++i) {
    data[i] = static_cast<std::uint8_t>(i * 131 + (i >> 12));
  }
  std::snprintf(VopP2GetParamPtr()->szUsbDevicePath, sizeof VopP2GetParamPtr()->szUsbDevicePath,
                "%s", kNode);

  double plain = 1e30;
  double library = 1e30;
  for (int run = 0; run < repeats; ++run) {
    // The two take turns going first, so that neither always meets a warmer file.
    for (int turn = 0; turn < 2; ++turn) {
      std::filesystem::resize_file(node, 0);
      const bool libraryTurn = (run + turn) % 2 == 0;
      if (libraryTurn) {
        library = std::min(library, PortLibrary(data));
      } else {
        plain = std::min(plain, PlainCopy(data));
      }
      if (std::filesystem::file_size(node) != data.size()) {
        std::fprintf(stderr, "the %s did not arrive whole\n",
                     libraryTurn ? "port library's write" : "plain copy");
        return 2;
      }
    }
  }
  g_object_unref(testbed);
  const double mib = static_cast<double>(data.size()) / kMiB;
  const double ratio = library / plain;
  std::printf("%ld MiB to %s, best of %d\n", megabytes, kNode, repeats);
  std::printf("  plain 4096-byte copy:     %8.3f s  %8.1f MiB/s\n", plain, mib / plain);
  std::printf("  VopP2Write(PORT_USB):     %8.3f s  %8.1f MiB/s\n", library, mib / library);
  std::printf("  time ratio library/plain: %8.3f  (goal: at most 1.10)\n", ratio);
  return ratio <= 1.10 ? 0 : 1;
}
