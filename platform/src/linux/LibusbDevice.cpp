#include "linux/LibusbDevice.h"

#include <libusb.h>

#include <cerrno>
#include <mutex>

#include "linux/ErrorCodes.h"
#include "linux/UsbFailure.h"
#include "platform/FailureReason.h"
#include "platform/WinApi.h"

namespace platform::linux_backend {

namespace {

// One libusb context for the process, made when first needed and kept.
libusb_context* Context() {
  static std::once_flag once;
  static libusb_context* context = nullptr;
  std::call_once(once, [] {
    if (libusb_init(&context) != LIBUSB_SUCCESS) {
      context = nullptr;
    }
  });
  return context;
}

}  // namespace

std::uint32_t ErrorFromLibusb(int code) {
  switch (code) {
    case LIBUSB_SUCCESS:
      return kErrorSuccess;
    case LIBUSB_ERROR_TIMEOUT:
      return kErrorSemTimeout;
    case LIBUSB_ERROR_NO_DEVICE:
      return kErrorDeviceNotConnected;
    case LIBUSB_ERROR_ACCESS:
      return kErrorAccessDenied;
    case LIBUSB_ERROR_BUSY:
      return kErrorSharingViolation;
    case LIBUSB_ERROR_NOT_FOUND:
      return kErrorFileNotFound;
    case LIBUSB_ERROR_NO_MEM:
      return kErrorNotEnoughMemory;
    case LIBUSB_ERROR_NOT_SUPPORTED:
      return kErrorNotSupported;
    case LIBUSB_ERROR_INVALID_PARAM:
      return kErrorInvalidParameter;
    default:
      return kErrorIoDevice;
  }
}

std::unique_ptr<LibusbDevice> LibusbDevice::Open(int busNumber, int address,
                                                 const std::string& name) {
  libusb_context* context = Context();
  if (context == nullptr) {
    SetLastErrorCode(kErrorNotSupported);
    NoteFailureReason({FailureKind::kAccessMethod, name, "libusb could not be started."});
    return nullptr;
  }
  libusb_device** list = nullptr;
  const ssize_t count = libusb_get_device_list(context, &list);
  libusb_device_handle* handle = nullptr;
  int result = LIBUSB_ERROR_NO_DEVICE;
  for (ssize_t i = 0; i < count; ++i) {
    if (libusb_get_bus_number(list[i]) == busNumber &&
        libusb_get_device_address(list[i]) == address) {
      result = libusb_open(list[i], &handle);
      break;
    }
  }
  if (list != nullptr) {
    libusb_free_device_list(list, 1);
  }
  if (result != LIBUSB_SUCCESS || handle == nullptr) {
    SetLastErrorCode(ErrorFromLibusb(result));
    NoteUsbOpenFailure(LastError(), name);
    return nullptr;
  }
  SetLastErrorCode(kErrorSuccess);
  return std::unique_ptr<LibusbDevice>(new LibusbDevice(handle, name));
}

LibusbDevice::~LibusbDevice() {
  for (const auto& [number, detached] : claimed_) {
    libusb_release_interface(handle_, number);
    if (detached) {
      libusb_attach_kernel_driver(handle_, number);
    }
  }
  libusb_close(handle_);
}

bool LibusbDevice::Failed(int code) {
  SetLastErrorCode(ErrorFromLibusb(code));
  return false;
}

bool LibusbDevice::Done(int code) {
  if (code != LIBUSB_SUCCESS) {
    return Failed(code);
  }
  SetLastErrorCode(kErrorSuccess);
  return true;
}

std::optional<BulkEndpoints> LibusbDevice::FindBulkInterface(int interfaceClass,
                                                             int interfaceNumber) const {
  libusb_config_descriptor* config = nullptr;
  if (libusb_get_active_config_descriptor(libusb_get_device(handle_), &config) != LIBUSB_SUCCESS) {
    return std::nullopt;
  }
  // A setting with a way back (bulk IN as well as OUT) wins over the first one with any bulk
  // endpoint: a printer often offers a send-only setting first, and on it no reply could come.
  std::optional<BulkEndpoints> first;
  std::optional<BulkEndpoints> twoWay;
  for (int i = 0; i < config->bNumInterfaces && !twoWay; ++i) {
    const libusb_interface& interface = config->interface[i];
    for (int a = 0; a < interface.num_altsetting && !twoWay; ++a) {
      const libusb_interface_descriptor& setting = interface.altsetting[a];
      if (setting.bInterfaceClass != interfaceClass ||
          (interfaceNumber >= 0 && setting.bInterfaceNumber != interfaceNumber)) {
        continue;
      }
      BulkEndpoints endpoints{setting.bInterfaceNumber, setting.bAlternateSetting, 0, 0, 64};
      for (int e = 0; e < setting.bNumEndpoints; ++e) {
        const libusb_endpoint_descriptor& endpoint = setting.endpoint[e];
        if ((endpoint.bmAttributes & LIBUSB_TRANSFER_TYPE_MASK) != LIBUSB_TRANSFER_TYPE_BULK) {
          continue;
        }
        if ((endpoint.bEndpointAddress & LIBUSB_ENDPOINT_IN) != 0) {
          endpoints.in = endpoint.bEndpointAddress;
          endpoints.maxPacketIn = endpoint.wMaxPacketSize;
        } else {
          endpoints.out = endpoint.bEndpointAddress;
        }
      }
      if (endpoints.out != 0 && endpoints.in != 0) {
        twoWay = endpoints;
      } else if (!first && (endpoints.out != 0 || endpoints.in != 0)) {
        first = endpoints;
      }
    }
  }
  libusb_free_config_descriptor(config);
  return twoWay ? twoWay : first;
}

bool LibusbDevice::Claim(const BulkEndpoints& endpoints) {
  if (!ClaimInterface(endpoints.interfaceNumber)) {
    return false;
  }
  if (endpoints.alternateSetting != 0) {
    return Done(libusb_set_interface_alt_setting(handle_, endpoints.interfaceNumber,
                                                 endpoints.alternateSetting));
  }
  return true;
}

bool LibusbDevice::ClaimInterface(int number) {
  const std::lock_guard lock(claimsMutex_);
  if (claimed_.contains(number)) {
    return Done(LIBUSB_SUCCESS);
  }
  bool detached = false;
  if (libusb_kernel_driver_active(handle_, number) == 1) {
    const int result = libusb_detach_kernel_driver(handle_, number);
    if (result != LIBUSB_SUCCESS && result != LIBUSB_ERROR_NOT_FOUND) {
      NoteUsbOpenFailure(ErrorFromLibusb(result), name_);
      return Failed(result);
    }
    detached = result == LIBUSB_SUCCESS;
  }
  const int claimed = libusb_claim_interface(handle_, number);
  if (claimed != LIBUSB_SUCCESS) {
    if (detached) {
      libusb_attach_kernel_driver(handle_, number);
    }
    NoteUsbOpenFailure(ErrorFromLibusb(claimed), name_);
    return Failed(claimed);
  }
  claimed_.emplace(number, detached);
  return Done(LIBUSB_SUCCESS);
}

void LibusbDevice::ReleaseInterface(int number) {
  const std::lock_guard lock(claimsMutex_);
  const auto it = claimed_.find(number);
  if (it == claimed_.end()) {
    return;
  }
  libusb_release_interface(handle_, number);
  if (it->second) {
    libusb_attach_kernel_driver(handle_, number);
  }
  claimed_.erase(it);
}

std::optional<std::vector<EndpointInfo>> LibusbDevice::EndpointsOf(int interfaceNumber,
                                                                   int alternateSetting) const {
  libusb_config_descriptor* config = nullptr;
  if (libusb_get_active_config_descriptor(libusb_get_device(handle_), &config) != LIBUSB_SUCCESS) {
    return std::nullopt;
  }
  std::optional<std::vector<EndpointInfo>> found;
  for (int i = 0; i < config->bNumInterfaces && !found; ++i) {
    const libusb_interface& interface = config->interface[i];
    for (int a = 0; a < interface.num_altsetting && !found; ++a) {
      const libusb_interface_descriptor& setting = interface.altsetting[a];
      if (setting.bInterfaceNumber != interfaceNumber ||
          setting.bAlternateSetting != alternateSetting) {
        continue;
      }
      found.emplace();
      for (int e = 0; e < setting.bNumEndpoints; ++e) {
        const libusb_endpoint_descriptor& endpoint = setting.endpoint[e];
        found->push_back(
            {endpoint.bEndpointAddress, endpoint.bmAttributes, endpoint.wMaxPacketSize});
      }
    }
  }
  libusb_free_config_descriptor(config);
  return found;
}

bool LibusbDevice::Bulk(std::uint8_t endpoint, std::uint8_t* data, std::uint32_t length,
                        std::uint32_t& done, unsigned timeoutMs) {
  int moved = 0;
  const int result =
      libusb_bulk_transfer(handle_, endpoint, data, static_cast<int>(length), &moved, timeoutMs);
  done = moved > 0 ? static_cast<std::uint32_t>(moved) : 0;
  if (result == LIBUSB_ERROR_PIPE) {
    // A halted endpoint stays halted until the host clears it: the transfer fails, and the
    // next one (or the next job) finds the endpoint working instead of stalling for good.
    libusb_clear_halt(handle_, endpoint);
  }
  return Done(result);
}

bool LibusbDevice::Control(std::uint8_t requestType, std::uint8_t request, std::uint16_t value,
                           std::uint16_t index, std::uint8_t* data, std::uint16_t length,
                           std::uint32_t& done, unsigned timeoutMs) {
  done = 0;
  const int result =
      libusb_control_transfer(handle_, requestType, request, value, index, data, length, timeoutMs);
  if (result < 0) {
    return Failed(result);
  }
  done = static_cast<std::uint32_t>(result);
  SetLastErrorCode(kErrorSuccess);
  return true;
}

bool LibusbDevice::ClearHalt(std::uint8_t endpoint) {
  return Done(libusb_clear_halt(handle_, endpoint));
}

bool LibusbDevice::Reset() {
  const int result = libusb_reset_device(handle_);
  // A device that must be enumerated anew after the reset is gone for this handle.
  return Done(result == LIBUSB_ERROR_NOT_FOUND ? LIBUSB_ERROR_NO_DEVICE : result);
}

}  // namespace platform::linux_backend
