#include "linux/UsbPrinterNode.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <vector>

#include "linux/DeviceId.h"
#include "linux/ErrorCodes.h"
#include "linux/ParallelIo.h"
#include "linux/UsbFailure.h"
#include "platform/WinApi.h"

namespace platform::linux_backend {

namespace {

// The printer driver's own request (it is not in the exported kernel headers): the cached
// IEEE 1284 device ID, length field first, cut to len bytes.
constexpr unsigned long GetDeviceIdRequest(unsigned len) {
  return _IOC(_IOC_READ, 'P', 1, len);
}
// The largest length the request can carry.
constexpr std::uint32_t kMaxRequestLength = (1U << _IOC_SIZEBITS) - 1;

class UsbPrinterNode final : public DeviceLink {
 public:
  UsbPrinterNode(int fd, std::string node, bool answers)
      : fd_(fd), node_(std::move(node)), answers_(answers) {}
  ~UsbPrinterNode() override { ::close(fd_); }  // also lets go of the lock

  std::string Name() const override { return node_; }

  bool Read(std::uint8_t* buffer, std::uint32_t length, std::uint32_t& count) override {
    if (!answers_) {
      count = 0;
      SetLastErrorCode(kErrorSuccess);
      return true;
    }
    return Checked(ParallelRead(fd_, buffer, length, count));
  }
  bool Write(const std::uint8_t* data, std::uint32_t length, std::uint32_t& count) override {
    // The driver sends a write on after the call has returned, and closing the node drops a
    // transfer still under way: a write ends only once its last transfer has gone.
    return Checked(ParallelWrite(fd_, data, length, count, /*untilSent=*/true));
  }
  bool DeviceId(std::uint8_t* out, std::uint32_t outLength, std::uint32_t& count) override {
    count = 0;
    // Room for the length field, a text one byte longer than fits (to tell a cut one) and
    // its end; counted wide, so that a room near 4 GiB does not wrap to a few bytes.
    const auto size = static_cast<std::uint32_t>(
        std::min<std::uint64_t>(std::uint64_t{outLength} + 4, kMaxRequestLength));
    std::vector<char> reply(size, '\0');
    int result = -1;
    do {
      result = ::ioctl(fd_, GetDeviceIdRequest(size), reply.data());
    } while (result < 0 && errno == EINTR);
    if (result < 0) {
      return Checked(FailFromErrno());
    }
    const std::uint32_t error =
        DeviceIdFromDriverReply(reply.data(), reply.size(), out, outLength, count);
    SetLastErrorCode(error);
    return error == kErrorSuccess;
  }

 private:
  bool Checked(bool ok) {
    if (!ok) {
      NoteUsbTransferFailure(node_);
    }
    return ok;
  }

  const int fd_;
  const std::string node_;
  const bool answers_;
};

}  // namespace

std::uint32_t DeviceIdFromDriverReply(const char* reply, std::size_t size, std::uint8_t* out,
                                      std::uint32_t outLength, std::uint32_t& count) {
  count = 0;
  if (size < 2) {
    return kErrorDeviceNotConnected;
  }
  // The length field counts itself; printers that send it little-endian are common.
  const auto high = static_cast<unsigned char>(reply[0]);
  const auto low = static_cast<unsigned char>(reply[1]);
  std::size_t length = (std::size_t{high} << 8) | low;
  if (length > size || length < 2) {
    length = (std::size_t{low} << 8) | high;
  }
  length = std::clamp<std::size_t>(length, 2, size);
  return CopyDeviceIdText(reply, length, out, outLength, count);
}

std::unique_ptr<DeviceLink> OpenUsbPrinterNode(const std::string& node) {
  int fd = -1;
  do {
    fd = ::open(node.c_str(), O_RDWR | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
  } while (fd < 0 && errno == EINTR);
  if (fd < 0) {
    const int error = errno;
    SetLastErrorCode(ErrorFromErrno(error));
    NoteUsbOpenFailure(LastError(), node);
    return nullptr;
  }
  // Two programs must never interleave bytes on one printer: the node is held alone.
  if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
    const int error = errno;
    ::close(fd);
    SetLastErrorCode(ErrorFromErrno(error));
    NoteUsbOpenFailure(LastError(), node);
    return nullptr;
  }
  // Only the driver's character device has a printer behind it. A plain file in its place (one
  // written to the path while no printer was plugged in) or a FIFO would hand the caller's own
  // bytes back as the printer's reply, so its reads give none. The path is looked at, not the
  // descriptor: an emulated device tree (umockdev) tells its nodes apart by path only.
  struct stat status {};
  const bool answers = ::stat(node.c_str(), &status) == 0 && S_ISCHR(status.st_mode);
  SetLastErrorCode(kErrorSuccess);
  return std::make_unique<UsbPrinterNode>(fd, node, answers);
}

}  // namespace platform::linux_backend
