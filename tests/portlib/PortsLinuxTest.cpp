// Every port of the library on the real machine where the outcome depends on what Linux
// finds: another program holding the device, odd things named as the output file, and
// capture files past 4 GiB.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "PseudoTerminal.h"
#include "TempFolder.h"
#include "VopP2.h"
#include "platform/FailureReason.h"

namespace {

class PortsLinux : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    ::setenv("CUPS_SERVER", "/nonexistent/zarnik-test/cups.sock", 1);
    ::unsetenv("ZARNIK_LPT_ACCESS");
  }
  void SetUp() override {
    ASSERT_TRUE(pty.ok());
    platform::ClearFailureReason();
  }
  void TearDown() override {
    VopP2Close(PORT_FILE | PORT_LPT | PORT_COM);
    ::unsetenv("ZARNIK_LPT1");
    ::unsetenv("ZARNIK_COM1");
  }
  void UseOutputFile(const std::string& path) {
    std::snprintf(VopP2GetParamPtr()->szOutputFile, sizeof VopP2GetParamPtr()->szOutputFile, "%s",
                  path.c_str());
  }
  std::int32_t Write(std::int32_t port, const std::string& text) {
    std::uint32_t written = 0;
    return VopP2Write(port, reinterpret_cast<const std::uint8_t*>(text.data()),
                      static_cast<std::uint32_t>(text.size()), &written);
  }

  testsupport::PseudoTerminal pty;
  testsupport::TempFolder folder;
};

TEST_F(PortsLinux, AnotherHolderOfThePortIsToldAsInUse) {
  const std::string capture = folder.File("capture.prn");
  std::ofstream(capture).flush();
  ::setenv("ZARNIK_LPT1", pty.slavePath().c_str(), 1);
  ::setenv("ZARNIK_COM1", pty.slavePath().c_str(), 1);
  VopP2GetParamPtr()->dwLptNumber = 1;
  VopP2GetParamPtr()->dwComNumber = 1;
  UseOutputFile(capture);

  struct Case {
    std::int32_t port;
    std::string device;
    const char* text;
  };
  for (const Case& held :
       {Case{PORT_LPT, pty.slavePath(), "VopP2Open:CreateFile(PORT_LPT) : failure\n"},
        Case{PORT_COM, pty.slavePath(), "VopP2Open:CreateFile(PORT_COM) : failure (00000020h)\n"},
        Case{PORT_FILE, capture, "VopP2Open:CreateFile(PORT_FILE) : failure\n"}}) {
    // Another program that locks what it uses, as this library does.
    const int other = ::open(held.device.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    ASSERT_GE(other, 0);
    ASSERT_EQ(::flock(other, LOCK_EX | LOCK_NB), 0);
    platform::ClearFailureReason();
    EXPECT_EQ(Write(held.port, "frame"), 0);
    EXPECT_STREQ(VopP2GetMessage(), held.text);
    const platform::FailureReason reason = platform::LastFailureReason();
    EXPECT_EQ(reason.kind, platform::FailureKind::kInUse) << held.text;
    EXPECT_EQ(reason.device, held.device);
    ::close(other);
    EXPECT_EQ(Write(held.port, "frame"), 1) << VopP2GetMessage();  // free again
  }
}

TEST_F(PortsLinux, OddOutputFilesAreWrittenAsFilesWithoutWaitingOrChangingThem) {
  // A FIFO that no program reads: the open fails at once instead of waiting for a reader.
  const std::string fifo = folder.File("capture.fifo");
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  UseOutputFile(fifo);
  EXPECT_EQ(Write(PORT_FILE, "abc"), 0);
  EXPECT_STREQ(VopP2GetMessage(), "VopP2Open:CreateFile(PORT_FILE) : failure\n");
  EXPECT_EQ(platform::LastFailureReason().kind, platform::FailureKind::kNotAnswering);

  // A terminal gets the bytes and keeps its line settings.
  const termios before = pty.SlaveSettings();
  UseOutputFile(pty.slavePath());
  EXPECT_EQ(Write(PORT_FILE, "xyz"), 1) << VopP2GetMessage();
  EXPECT_EQ(pty.Receive(3), (std::vector<std::uint8_t>{'x', 'y', 'z'}));
  const termios after = pty.SlaveSettings();
  EXPECT_EQ(after.c_lflag, before.c_lflag);
  EXPECT_EQ(after.c_iflag, before.c_iflag);
  EXPECT_EQ(after.c_oflag, before.c_oflag);
  EXPECT_EQ(after.c_cflag, before.c_cflag);
}

TEST_F(PortsLinux, ACaptureFileOfFourGibibytesAndMoreIsAppendedTo) {
  const std::string capture = folder.File("big.prn");
  constexpr std::uintmax_t kSize = (std::uintmax_t{1} << 32) + 3;  // sparse: no disk space
  std::ofstream(capture) << "head";
  std::filesystem::resize_file(capture, kSize);
  UseOutputFile(capture);
  EXPECT_EQ(Write(PORT_FILE, "tail"), 1) << VopP2GetMessage();

  EXPECT_EQ(std::filesystem::file_size(capture), kSize + 4);
  std::ifstream bytes(capture);
  std::string start(4, '\0');
  std::string end(4, '\0');
  bytes.read(start.data(), 4).seekg(static_cast<std::streamoff>(kSize)).read(end.data(), 4);
  EXPECT_EQ(start + end, "headtail");
}

}  // namespace
