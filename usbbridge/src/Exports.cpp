// The ten exports. Every failure is a result value: -1 from the open calls, 0 from the
// requests, 1 or 2 from the check; also a failure the bridge did not foresee (memory that
// ran out), which never leaves through the C interface as an exception.
#include <algorithm>
#include <vector>

#include "ControlRequest.h"
#include "DeviceTable.h"
#include "Discovery.h"
#include "DriverAccess.h"
#include "VopUsb.h"
#include "platform/CallGuard.h"
#include "platform/Services.h"
#include "platform/VopUsbDriver.h"

using namespace vopusb;
namespace driver = platform::vopusb;

namespace {

// The descriptor of the given type into buffer; success needs at least `needed` bytes back.
std::int32_t GetDescriptor(std::int32_t id, std::uint8_t type, void* buffer, std::uint32_t size,
                           std::uint32_t needed) {
  const platform::Handle device = Table().HandleOf(id);
  if (device == platform::kInvalidHandle || buffer == nullptr || size == 0) {
    return 0;
  }
  const std::uint8_t request[driver::kDescriptorRequestSize] = {type, 0, 0, 0};
  std::uint32_t returned = 0;
  if (!DriverIoControl(device, driver::kIoctlGetDescriptor, request, sizeof request, buffer, size,
                       &returned) ||
      returned < needed) {
    return 0;
  }
  // The call cannot say how many bytes came: what the device did not send reads as zeros,
  // never as what the buffer held from an earlier descriptor.
  auto* bytes = static_cast<std::uint8_t*>(buffer);
  std::fill(bytes + std::min(returned, size), bytes + size, std::uint8_t{0});
  return 1;
}

// An I/O control that carries no records: 1 on success.
std::int32_t Command(platform::Handle handle, std::uint32_t code) {
  std::uint32_t returned = 0;
  return DriverIoControl(handle, code, nullptr, 0, nullptr, 0, &returned) ? 1 : 0;
}

// A configuration descriptor begins with its own 9-byte header.
constexpr std::uint32_t kConfigurationHeaderSize = 9;

}  // namespace

extern "C" {

VOPUSB_API int32_t VOPUSB_CALL VopUsb_Open(void) {
  return platform::FailureOnThrow(std::int32_t{-1}, [&] {
    for (std::uint32_t index = 0;; ++index) {
      const Candidate candidate = FindCandidate(index);
      if (candidate.kind == Candidate::Kind::kEnd) {
        return -1;
      }
      if (candidate.kind == Candidate::Kind::kUnusable) {
        continue;
      }
      const platform::Handle device = OpenDriverFile(candidate.path.c_str());
      if (device == platform::kInvalidHandle) {
        continue;
      }
      const std::int32_t id = Table().Register(device, candidate.path);
      if (id != -1) {
        return id;
      }
      platform::Current().CloseHandle(device);  // every slot is taken
    }
  });
}

VOPUSB_API void VOPUSB_CALL VopUsb_Close(int32_t id) {
  Table().Release(id);
}

VOPUSB_API VopUsbPipe VOPUSB_CALL VopUsb_OpenPipe(int32_t id, uint32_t interfaceNumber,
                                                  uint32_t pipeNumber) {
  return platform::FailureOnThrow(platform::kInvalidHandle, [&] {
    const auto devicePath = Table().PathOf(id);
    if (!devicePath) {
      return platform::kInvalidHandle;
    }
    const std::string path =
        driver::PipePath(*devicePath, static_cast<std::uint8_t>(interfaceNumber & 0xFFU),
                         static_cast<std::uint8_t>(pipeNumber & 0xFFU));
    return OpenDriverFile(path.c_str());
  });
}

VOPUSB_API int32_t VOPUSB_CALL VopUsb_ClassRequest(int32_t id, uint32_t direction,
                                                   uint32_t recipient, uint32_t bRequest,
                                                   uint32_t wValue, uint32_t wIndex,
                                                   uint32_t wLength, void* data) {
  return platform::FailureOnThrow(std::int32_t{0}, [&] {
    return SendControlRequest(RequestFamily::kClass, id, direction, recipient, bRequest, wValue,
                              wIndex, wLength, data);
  });
}

VOPUSB_API int32_t VOPUSB_CALL VopUsb_VendorRequest(int32_t id, uint32_t direction,
                                                    uint32_t recipient, uint32_t bRequest,
                                                    uint32_t wValue, uint32_t wIndex,
                                                    uint32_t wLength, void* data) {
  return platform::FailureOnThrow(std::int32_t{0}, [&] {
    return SendControlRequest(RequestFamily::kVendor, id, direction, recipient, bRequest, wValue,
                              wIndex, wLength, data);
  });
}

VOPUSB_API int32_t VOPUSB_CALL VopUsb_Check(int32_t id) {
  return platform::FailureOnThrow(std::int32_t{VOPUSB_CHECK_FAILED}, [&] {
    const platform::Handle device = Table().HandleOf(id);
    if (device == platform::kInvalidHandle) {
      return VOPUSB_CHECK_INVALID_ID;
    }
    std::vector<std::uint8_t> scratch(driver::kCheckReplyRoom);
    std::uint32_t returned = 0;
    return DriverIoControl(device, driver::kIoctlCheck, nullptr, 0, scratch.data(),
                           driver::kCheckReplyRoom, &returned)
               ? VOPUSB_CHECK_OK
               : VOPUSB_CHECK_FAILED;
  });
}

VOPUSB_API int32_t VOPUSB_CALL VopUsb_ResetPipe(VopUsbPipe pipe) {
  return platform::FailureOnThrow(std::int32_t{0},
                                  [&] { return Command(pipe, driver::kIoctlResetPipe); });
}

VOPUSB_API int32_t VOPUSB_CALL VopUsb_ResetDevice(int32_t id) {
  return platform::FailureOnThrow(std::int32_t{0}, [&] {
    const platform::Handle device = Table().HandleOf(id);
    return device != platform::kInvalidHandle ? Command(device, driver::kIoctlResetDevice) : 0;
  });
}

VOPUSB_API int32_t VOPUSB_CALL VopUsb_GetDeviceDescriptor(int32_t id, void* buffer) {
  return platform::FailureOnThrow(std::int32_t{0}, [&] {
    return GetDescriptor(id, driver::kDeviceDescriptorType, buffer, driver::kDeviceDescriptorSize,
                         driver::kDeviceDescriptorSize);
  });
}

VOPUSB_API int32_t VOPUSB_CALL VopUsb_GetConfigurationDescriptor(int32_t id, void* buffer,
                                                                 uint32_t size) {
  return platform::FailureOnThrow(std::int32_t{0}, [&] {
    return GetDescriptor(id, driver::kConfigurationDescriptorType, buffer, size,
                         size < kConfigurationHeaderSize ? size : kConfigurationHeaderSize);
  });
}

}  // extern "C"
