// The printer maker's USB driver as the USB bridge library reaches it, and as whatever stands
// in for it answers (the simulated machine's USB device, the Linux backend): the device
// interface class its devices are listed under, the path a pipe opens by, the six device I/O
// controls and the records they carry.
#pragma once

#include <array>
#include <cstdint>
#include <cstdio>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "platform/WinApi.h"

namespace platform::vopusb {

// Device interface class {DDF29561-CF6B-11D4-8237-00A0C9C8E83C}.
inline constexpr Guid kInterfaceClass{
    0xDDF29561U, 0xCF6BU, 0x11D4U, {0x82, 0x37, 0x00, 0xA0, 0xC9, 0xC8, 0xE8, 0x3C}};

// A pipe opens as the device path followed by "\if<interface>pipe<pipe>", each number in three
// decimal digits: pipe m of interface n is the m-th endpoint of that interface's current
// setting.
inline std::string PipePath(std::string_view devicePath, std::uint8_t interfaceNumber,
                            std::uint8_t pipeNumber) {
  char suffix[16];
  std::snprintf(suffix, sizeof suffix, R"(\if%03dpipe%03d)", interfaceNumber, pipeNumber);
  return std::string(devicePath) + suffix;
}

// Device I/O controls (buffered, device type 0x22).
inline constexpr std::uint32_t kIoctlResetDevice = 0x220004;    // device handle; no records
inline constexpr std::uint32_t kIoctlResetPipe = 0x220008;      // pipe handle; no records
inline constexpr std::uint32_t kIoctlControlIn = 0x22000C;      // header in; wLength bytes out
inline constexpr std::uint32_t kIoctlControlOut = 0x220010;     // header and data in
inline constexpr std::uint32_t kIoctlGetDescriptor = 0x220014;  // descriptor request in
inline constexpr std::uint32_t kIoctlCheck = 0x220018;          // up to 1024 bytes out

// URB function codes of a class or vendor request, by recipient.
inline constexpr std::uint16_t kUrbVendorDevice = 0x17;
inline constexpr std::uint16_t kUrbVendorInterface = 0x18;
inline constexpr std::uint16_t kUrbVendorEndpoint = 0x19;
inline constexpr std::uint16_t kUrbClassDevice = 0x1A;
inline constexpr std::uint16_t kUrbClassInterface = 0x1B;
inline constexpr std::uint16_t kUrbClassEndpoint = 0x1C;
inline constexpr std::uint16_t kUrbClassOther = 0x1F;
inline constexpr std::uint16_t kUrbVendorOther = 0x20;

// Transfer flag of a device-to-host request: the device may answer with fewer bytes.
inline constexpr std::uint32_t kShortTransferOk = 2;

// The control request header (16 bytes, little-endian) that leads the input of the two
// control-request I/O controls; a host-to-device request's data follows it.
inline constexpr std::uint32_t kControlHeaderSize = 16;
struct ControlHeader {
  std::uint16_t function = 0;  // URB function code
  std::uint32_t flags = 0;     // kShortTransferOk or 0
  std::uint8_t request = 0;    // bRequest
  std::uint16_t value = 0;     // wValue
  std::uint16_t index = 0;     // wIndex
};

// The header's bytes; both reserved words are 0.
inline std::array<std::uint8_t, kControlHeaderSize> EncodeControlHeader(const ControlHeader& h) {
  return {static_cast<std::uint8_t>(h.function & 0xFFU),
          static_cast<std::uint8_t>(h.function >> 8),
          0,
          0,
          static_cast<std::uint8_t>(h.flags & 0xFFU),
          static_cast<std::uint8_t>((h.flags >> 8) & 0xFFU),
          static_cast<std::uint8_t>((h.flags >> 16) & 0xFFU),
          static_cast<std::uint8_t>(h.flags >> 24),
          0,
          h.request,
          static_cast<std::uint8_t>(h.value & 0xFFU),
          static_cast<std::uint8_t>(h.value >> 8),
          static_cast<std::uint8_t>(h.index & 0xFFU),
          static_cast<std::uint8_t>(h.index >> 8),
          0,
          0};
}

// The header at the start of a control I/O control's input; none when the input is short.
inline std::optional<ControlHeader> DecodeControlHeader(std::span<const std::uint8_t> in) {
  if (in.size() < kControlHeaderSize) {
    return std::nullopt;
  }
  auto u16 = [&](std::size_t at) { return static_cast<std::uint16_t>(in[at] | (in[at + 1] << 8)); };
  ControlHeader header;
  header.function = u16(0);
  header.flags = static_cast<std::uint32_t>(u16(4)) | (static_cast<std::uint32_t>(u16(6)) << 16);
  header.request = in[9];
  header.value = u16(10);
  header.index = u16(12);
  return header;
}

// bmRequestType of a control request from its URB function code and direction: direction
// bit 7, type (class 1, vendor 2) in bits 5-6, recipient (device 0, interface 1, endpoint 2,
// other 3) in bits 0-4. None for a code that is no class or vendor request.
inline std::optional<std::uint8_t> RequestTypeOf(std::uint16_t function, bool deviceToHost) {
  std::uint8_t typeAndRecipient = 0;
  switch (function) {
    case kUrbClassDevice:
      typeAndRecipient = 0x20;
      break;
    case kUrbClassInterface:
      typeAndRecipient = 0x21;
      break;
    case kUrbClassEndpoint:
      typeAndRecipient = 0x22;
      break;
    case kUrbClassOther:
      typeAndRecipient = 0x23;
      break;
    case kUrbVendorDevice:
      typeAndRecipient = 0x40;
      break;
    case kUrbVendorInterface:
      typeAndRecipient = 0x41;
      break;
    case kUrbVendorEndpoint:
      typeAndRecipient = 0x42;
      break;
    case kUrbVendorOther:
      typeAndRecipient = 0x43;
      break;
    default:
      return std::nullopt;
  }
  return static_cast<std::uint8_t>(typeAndRecipient | (deviceToHost ? 0x80U : 0x00U));
}

// The descriptor request (4 bytes): type, index 0, language id 0.
inline constexpr std::uint8_t kDeviceDescriptorType = 1;
inline constexpr std::uint8_t kConfigurationDescriptorType = 2;
inline constexpr std::uint32_t kDescriptorRequestSize = 4;
inline constexpr std::uint32_t kDeviceDescriptorSize = 18;

// Scratch room the health check gives the driver's answer.
inline constexpr std::uint32_t kCheckReplyRoom = 1024;

}  // namespace platform::vopusb
