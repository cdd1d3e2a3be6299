#include "linux/ParportAccess.h"

#include <fcntl.h>
#include <linux/parport.h>
#include <linux/ppdev.h>
#include <sys/ioctl.h>
#include <unistd.h>

#if defined(__x86_64__) || defined(__i386__)
#include <sys/io.h>
#define ZARNIK_HAVE_IOPERM 1
#endif

#include <cerrno>
#include <fstream>
#include <sstream>

#include "linux/ErrorCodes.h"
#include "linux/ParportLocation.h"
#include "platform/FailureReason.h"
#include "platform/WinApi.h"

namespace platform::linux_backend {
namespace {

constexpr const char* kProcRoot = "/proc/sys/dev/parport";
constexpr std::uint16_t kData = 0;
constexpr std::uint16_t kStatus = 1;
constexpr std::uint16_t kControl = 2;
constexpr std::uint16_t kEcpFirst = 0x400;
constexpr std::uint16_t kEcpLast = 0x402;
constexpr std::uint8_t kDirection = 0x20;
constexpr std::uint8_t kControlLines = 0x0F;

std::string FileText(const char* path) {
  std::ostringstream text;
  text << std::ifstream(path).rdbuf();
  return text.str();
}

void Note(FailureKind kind, const std::string& device, const std::string& detail) {
  NoteFailureReason({kind, device, detail});
}

}  // namespace

ParportAccess::~ParportAccess() {
  if (claimed_) {
    Release();
  }
  if (fd_ >= 0) {
    ::close(fd_);
  }
  if (devPort_ >= 0) {
    ::close(devPort_);
  }
}

bool ParportAccess::Refuse(std::uint32_t error) {
  SetLastErrorCode(error);
  return false;
}

bool ParportAccess::Ioctl(unsigned long request, void* argument) {
  if (::ioctl(fd_, request, argument) == 0) {
    return true;
  }
  const int error = errno;
  if (error == ENODEV || error == ENXIO) {
    Note(FailureKind::kDeviceGone, device_, {});
    // The port behind this descriptor is gone (an adapter unplugged, the driver reloaded):
    // the next claim opens the device afresh instead of failing on this one for good.
    ::close(fd_);
    fd_ = -1;
    claimed_ = false;
  }
  return Refuse(ErrorFromErrno(error));
}

bool ParportAccess::Open(std::uint16_t base) {
  FailureReason reason;
  const auto location = LocateParport(base, kProcRoot, "/dev", reason);
  if (!location) {
    NoteFailureReason(reason);
    return Refuse(reason.kind == FailureKind::kNotFound ? kErrorFileNotFound : kErrorNotSupported);
  }
  if (fd_ >= 0 && location->device == device_) {
    base_ = base;
    return true;
  }
  if (fd_ >= 0) {
    ::close(fd_);
    fd_ = -1;
  }
  const int fd = ::open(location->device.c_str(), O_RDWR | O_CLOEXEC);
  if (fd < 0) {
    const int error = errno;
    if (error == EACCES || error == EPERM) {
      Note(FailureKind::kPermissionDenied, location->device, {});
    } else if (error == ENOENT || error == ENODEV || error == ENXIO) {
      Note(FailureKind::kAccessMethod, location->device,
           "The kernel's ppdev driver is not loaded: load it with 'sudo modprobe ppdev'.");
    }
    return Refuse(ErrorFromErrno(error));
  }
  fd_ = fd;
  device_ = location->device;
  procDir_ = location->procDir;
  ecrBase_ = location->ecrBase;
  base_ = base;
  reverse_ = false;
  raw_ = Raw::kUnknown;
  return true;
}

bool ParportAccess::Claim(std::uint16_t base) {
  if (claimed_) {
    return Refuse(kErrorSharingViolation);
  }
  if (!Open(base)) {
    return false;
  }
  // A claim waits for the port's holder to let go; a port held by another driver is refused
  // instead of waited for without end.
  const std::string holder = ActiveParportDevice(procDir_);
  if (!holder.empty()) {
    Note(FailureKind::kInUse, device_, "The kernel's driver " + holder + " holds the port.");
    return Refuse(kErrorSharingViolation);
  }
  if (!Ioctl(PPCLAIM, nullptr)) {
    return false;
  }
  claimed_ = true;
  return true;
}

void ParportAccess::Release() {
  if (claimed_) {
    ::ioctl(fd_, PPRELEASE);
    claimed_ = false;
  }
}

bool ParportAccess::In(std::uint16_t address, std::uint8_t& value) {
  if (!claimed_) {
    return Refuse(kErrorInvalidHandle);
  }
  const auto offset = static_cast<std::uint16_t>(address - base_);
  unsigned char byte = 0;
  switch (offset) {
    case kData:
      if (!Ioctl(PPRDATA, &byte)) {
        return false;
      }
      break;
    case kStatus:
      if (!Ioctl(PPRSTATUS, &byte)) {
        return false;
      }
      break;
    case kControl:
      // The kernel reports the four line bits; the direction is the one last set.
      if (!Ioctl(PPRCONTROL, &byte)) {
        return false;
      }
      byte = static_cast<unsigned char>((byte & kControlLines) | (reverse_ ? kDirection : 0));
      break;
    default:
      if (offset < kEcpFirst || offset > kEcpLast) {
        return Refuse(kErrorInvalidParameter);
      }
      return RawIn(static_cast<std::uint16_t>(offset - kEcpFirst), value);
  }
  value = byte;
  return true;
}

bool ParportAccess::Out(std::uint16_t address, std::uint8_t value) {
  if (!claimed_) {
    return Refuse(kErrorInvalidHandle);
  }
  const auto offset = static_cast<std::uint16_t>(address - base_);
  unsigned char byte = value;
  switch (offset) {
    case kData:
      return Ioctl(PPWDATA, &byte);
    case kStatus:
      return true;  // the status register takes no writes, on the hardware either
    case kControl: {
      byte = static_cast<unsigned char>(value & kControlLines);
      if (!Ioctl(PPWCONTROL, &byte)) {
        return false;
      }
      const bool reverse = (value & kDirection) != 0;
      int direction = reverse ? 1 : 0;
      if (reverse != reverse_ && !Ioctl(PPDATADIR, &direction)) {
        return false;
      }
      reverse_ = reverse;
      return true;
    }
    default:
      if (offset < kEcpFirst || offset > kEcpLast) {
        return Refuse(kErrorInvalidParameter);
      }
      return RawOut(static_cast<std::uint16_t>(offset - kEcpFirst), value);
  }
}

bool ParportAccess::RawReady() {
  if (raw_ != Raw::kUnknown) {
    return true;
  }
  // Raw port writes go only where the kernel has found ECP registers.
  unsigned int modes = 0;
  if (::ioctl(fd_, PPGETMODES, &modes) != 0 || (modes & PARPORT_MODE_ECP) == 0) {
    Note(FailureKind::kAccessMethod, device_,
         "The kernel found no ECP registers (extended control register and FIFO) on this port: "
         "use Mode 0 (Standard), or set the port to ECP in the computer's firmware setup.");
    return Refuse(kErrorNotSupported);
  }
  int error = ENOSYS;
#if defined(ZARNIK_HAVE_IOPERM)
  if (::ioperm(ecrBase_, kEcpLast - kEcpFirst + 1, 1) == 0) {
    raw_ = Raw::kIoperm;
    return true;
  }
  error = errno;
#endif
  devPort_ = ::open("/dev/port", O_RDWR | O_CLOEXEC);
  if (devPort_ >= 0) {
    raw_ = Raw::kDevPort;
    return true;
  }
  if (errno != ENOENT) {
    error = errno;
  }
  Note(FailureKind::kAccessMethod, device_,
       RawAccessRefusal(error, FileText("/sys/kernel/security/lockdown")));
  return Refuse(ErrorFromErrno(error));
}

bool ParportAccess::RawIn(std::uint16_t offset, std::uint8_t& value) {
  if (!RawReady()) {
    return false;
  }
  const auto port = static_cast<std::uint16_t>(ecrBase_ + offset);
#if defined(ZARNIK_HAVE_IOPERM)
  if (raw_ == Raw::kIoperm) {
    value = ::inb(port);
    return true;
  }
#endif
  unsigned char byte = 0;
  if (::pread(devPort_, &byte, 1, port) != 1) {
    return Refuse(ErrorFromErrno(errno));
  }
  value = byte;
  return true;
}

bool ParportAccess::RawOut(std::uint16_t offset, std::uint8_t value) {
  if (!RawReady()) {
    return false;
  }
  const auto port = static_cast<std::uint16_t>(ecrBase_ + offset);
#if defined(ZARNIK_HAVE_IOPERM)
  if (raw_ == Raw::kIoperm) {
    ::outb(value, port);
    return true;
  }
#endif
  const unsigned char byte = value;
  if (::pwrite(devPort_, &byte, 1, port) != 1) {
    return Refuse(ErrorFromErrno(errno));
  }
  return true;
}

}  // namespace platform::linux_backend
