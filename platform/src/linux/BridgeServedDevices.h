// The USB devices the USB bridge serves on this machine: every device with a printer-class
// interface, and the devices whose vendor:product ids the user adds, in the environment
// variable ZARNIK_USB_BRIDGE_IDS and in the files usb-bridge.conf of $XDG_CONFIG_HOME/zarnik/
// (~/.config/zarnik/ when it is not set) and /etc/zarnik/. Entries are "vvvv:pppp" in
// hexadecimal, separated by commas, blanks or line ends; '#' starts a comment to the line end.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "linux/UsbDeviceTree.h"

namespace platform::linux_backend {

struct UsbIds {
  std::uint16_t vendorId = 0;
  std::uint16_t productId = 0;
  friend bool operator==(const UsbIds&, const UsbIds&) = default;
};

struct AddedUsbIds {
  std::vector<UsbIds> ids;
  std::vector<std::string> notUnderstood;  // "'entry' (where it stands)"
};

// Adds the entries of text; origin names where they come from.
void ParseUsbIds(std::string_view text, std::string_view origin, AddedUsbIds& added);

// The ids added by the variable and the two files.
AddedUsbIds AddedBridgeIds();

// The devices present that the bridge serves, in the device tree's order.
std::vector<UsbDeviceInfo> BridgeServedDevices();

// Notes, as the failure reason, that the bridge found no device to serve and what it looked
// for.
void NoteNoBridgeDevice();

}  // namespace platform::linux_backend
