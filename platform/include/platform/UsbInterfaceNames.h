// How USB device interfaces are named: the interface paths the device-interface enumeration
// hands out, the device instance the registry gives for them, and their registry keys below
// DeviceClasses. The Linux backend and the simulated machine name their devices alike, so the
// port library's search treats both the same.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>

namespace platform::usbnames {

// The interface classes, as they appear in paths and keys.
inline constexpr std::string_view kPrintingSupportClass = "{28d78fad-5a12-11d1-ae5b-0000f803a8c2}";
inline constexpr std::string_view kUsbDeviceClass = "{a5dcbf10-6530-11d2-901f-00c04fb951ed}";
inline constexpr std::string_view kBridgeClass = "{ddf29561-cf6b-11d4-8237-00a0c9c8e83c}";

inline constexpr std::string_view kDeviceClassesKey =
    R"(System\CurrentControlSet\Control\DeviceClasses\)";

// "\\?\usb#vid_xxxx&pid_xxxx#<instance>#<class>".
inline std::string InterfacePath(std::uint16_t vendorId, std::uint16_t productId,
                                 std::string_view instance, std::string_view classText) {
  char ids[40];
  std::snprintf(ids, sizeof ids, R"(\\?\usb#vid_%04x&pid_%04x#)", unsigned{vendorId},
                unsigned{productId});
  return std::string(ids).append(instance).append("#").append(classText);
}

// "USB\VID_XXXX&PID_XXXX\<instance>".
inline std::string DeviceInstance(std::uint16_t vendorId, std::uint16_t productId,
                                  std::string_view instance) {
  char ids[32];
  std::snprintf(ids, sizeof ids, R"(USB\VID_%04X&PID_%04X\)", unsigned{vendorId},
                unsigned{productId});
  return std::string(ids).append(instance);
}

// An interface's key name below its class: the path with "\\?\" written "##?#".
inline std::string InterfaceKeyName(std::string path) {
  if (path.size() >= 4) {
    path[0] = path[1] = path[3] = '#';
  }
  return path;
}

// The whole key of an interface below HKEY_LOCAL_MACHINE.
inline std::string InterfaceKey(std::string_view classText, const std::string& path) {
  return std::string(kDeviceClassesKey)
      .append(classText)
      .append("\\")
      .append(InterfaceKeyName(path));
}

}  // namespace platform::usbnames
