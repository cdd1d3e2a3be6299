// The USB printer's device path: the device interfaces of a class are enumerated and each
// one's registry entry tells the device instance ("USB\VID_xxxx&PID_xxxx\..."), whose ids are
// compared with wUsbVendorId and wUsbProductId. A configured szUsbDevicePath is used as is.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace vopp2 {

inline constexpr std::size_t kDevicePathSize = 260;

// Which interface class a search enumerates.
enum UsbSearch : std::uint32_t {
  kSearchPrintingSupport = 0,  // "USB2.0": the USB printing support's printer interfaces
  kSearchUsbDevices = 1,       // "USB1.1": every USB device
};

// The device instances a search looked at, by search, for telling the user what was there
// when the wanted printer was not.
struct SeenDevices {
  std::vector<std::string> printers;  // from the printing-support search
  std::vector<std::string> devices;   // from the USB device search
  // The interface paths of two or more USB devices that have the wanted ids, when a search
  // found one by its ids alone: none of them is taken.
  std::vector<std::string> sameIds;
};

// One search. 1 with the path in path (kDevicePathSize bytes), 0 when nothing matched or the
// enumeration failed.
std::int32_t GetDevicePathPart(char* path, std::uint32_t search, SeenDevices* seen = nullptr);

// The printing-support search unless fForceUsb11 is set, then the USB device search. A
// printer chosen by its ids alone (no szUsbDevicePath, no port held) must be the only USB
// device with them; otherwise nothing is found (SeenDevices::sameIds).
std::int32_t GetDevicePath(char* path, SeenDevices* seen = nullptr);

}  // namespace vopp2
