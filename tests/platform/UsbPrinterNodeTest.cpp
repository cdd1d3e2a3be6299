// Writing to the kernel's USB printer node. The driver sends each write on after the call has
// returned and drops what is still under way when the node is closed, so a write ends only
// once the node says its bytes have gone. A FIFO stands in for the node: it, too, says it can
// take more only when its reader has made room.
#include <fcntl.h>
#include <grp.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <thread>
#include <vector>

#include "TempFolder.h"
#include "linux/ErrorCodes.h"
#include "linux/UsbFailure.h"
#include "linux/UsbPrinterNode.h"
#include "platform/FailureReason.h"

namespace platform::linux_backend {
namespace {

TEST(UsbPrinterNodeWrite, EndsOnlyOnceTheNodeHasSentTheBytesOn) {
  const auto folder =
      std::filesystem::temp_directory_path() / ("zarnik-usb-node-" + std::to_string(::getpid()));
  std::filesystem::create_directories(folder);
  const auto node = folder / "lp0";
  ASSERT_EQ(::mkfifo(node.c_str(), 0600), 0);
  const int printer = ::open(node.c_str(), O_RDONLY | O_NONBLOCK);
  ASSERT_GE(printer, 0);
  const auto link = OpenUsbPrinterNode(node.string());
  ASSERT_NE(link, nullptr);

  // Nearly the FIFO's whole capacity: every buffer of it is in use until the printer reads.
  const int capacity = ::fcntl(printer, F_GETPIPE_SZ);
  ASSERT_GT(capacity, 4096);
  const std::vector<std::uint8_t> data(static_cast<std::size_t>(capacity) - 100, 0x5A);
  std::size_t taken = 0;
  std::thread reader([&] {
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    std::vector<std::uint8_t> buffer(data.size());
    const ssize_t n = ::read(printer, buffer.data(), buffer.size());
    taken = n > 0 ? static_cast<std::size_t>(n) : 0;
  });
  const auto start = std::chrono::steady_clock::now();
  std::uint32_t count = 0;
  const bool written = link->Write(data.data(), static_cast<std::uint32_t>(data.size()), count);
  const auto took = std::chrono::steady_clock::now() - start;
  reader.join();

  EXPECT_TRUE(written);
  EXPECT_EQ(count, data.size());
  EXPECT_GE(took, std::chrono::milliseconds(250));
  EXPECT_EQ(taken, data.size());
  ::close(printer);
  std::filesystem::remove_all(folder);
}

// A plain file in the node's place (written there while no printer was plugged in) has no
// printer behind it: a read gives nothing, never the bytes the tool sent before.
TEST(UsbPrinterNodeRead, APlainFileInTheNodesPlaceGivesNoReply) {
  const auto node =
      std::filesystem::temp_directory_path() / ("zarnik-usb-plain-" + std::to_string(::getpid()));
  const std::uint8_t frame[] = {0x1B, 0x40, 0x00, 0x02};
  std::uint32_t count = 0;
  std::ofstream(node.string()).close();
  ASSERT_TRUE(OpenUsbPrinterNode(node.string())->Write(frame, sizeof frame, count));
  std::uint8_t reply[16] = {};
  EXPECT_TRUE(OpenUsbPrinterNode(node.string())->Read(reply, sizeof reply, count));
  EXPECT_EQ(count, 0U);
  std::filesystem::remove(node);
}

// A node this user may not open names its group as the one to join only when the group's
// members may read and write it.
TEST(UsbOpenFailure, NamesTheGroupToJoinOnlyWhenItsMembersMayOpenTheNode) {
  const testsupport::TempFolder folder;
  const std::string node = (folder.path() / "lp0").string();
  std::ofstream(node).close();
  const group* own = ::getgrgid(::getegid());
  ASSERT_NE(own, nullptr);
  const std::string name = own->gr_name;

  ::chmod(node.c_str(), 0660);
  NoteUsbOpenFailure(kErrorAccessDenied, node);
  EXPECT_EQ(LastFailureReason().detail, "It belongs to group " + name + ".");
  ::chmod(node.c_str(), 0640);
  NoteUsbOpenFailure(kErrorAccessDenied, node);
  EXPECT_EQ(LastFailureReason().detail,
            "Its group " + name + " may not open it either, so joining that group does not help.");
}

}  // namespace
}  // namespace platform::linux_backend
