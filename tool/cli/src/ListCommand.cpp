// zarnik-cli list: the machine's printer connections (USB printers, parallel and serial
// ports), each with whether this user may open it, as text or as JSON.
#include <algorithm>
#include <cstdio>
#include <iostream>
#include <memory>
#include <string>
#include <string_view>

#include "Command.h"
#include "platform/DeviceIdFields.h"
#include "platform/DeviceListing.h"

namespace cli {
namespace {

std::string Hex4(std::uint16_t value) {
  char text[8];
  std::snprintf(text, sizeof text, "%04x", static_cast<unsigned>(value));
  return text;
}

std::string Access(bool accessible, const std::string& reason) {
  return accessible ? "this user may open it" : "this user may not open it: " + reason;
}

// The length of the UTF-8 sequence at text[i], or 0 when none begins there: a stray
// continuation byte, an overlong form, a surrogate, a code point past U+10FFFF, a cut end.
std::size_t Utf8Length(std::string_view text, std::size_t i) {
  const auto at = [text, i](std::size_t k) { return static_cast<unsigned char>(text[i + k]); };
  const unsigned char lead = at(0);
  if (lead < 0x80) {
    return 1;
  }
  const std::size_t length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC2 ? 2 : 0;
  if (length == 0 || lead > 0xF4 || i + length > text.size()) {
    return 0;
  }
  // After E0, ED, F0 and F4 the second byte's range is narrower.
  const unsigned char low = lead == 0xE0 ? 0xA0 : lead == 0xF0 ? 0x90 : 0x80;
  const unsigned char high = lead == 0xED ? 0x9F : lead == 0xF4 ? 0x8F : 0xBF;
  if (at(1) < low || at(1) > high) {
    return 0;
  }
  for (std::size_t k = 2; k < length; ++k) {
    if ((at(k) & 0xC0) != 0x80) {
      return 0;
    }
  }
  return length;
}

// The text as valid UTF-8: each byte that begins no sequence becomes U+FFFD.
std::string ValidUtf8(std::string_view text) {
  std::string out;
  for (std::size_t i = 0; i < text.size();) {
    const std::size_t length = Utf8Length(text, i);
    if (length == 0) {
      out.append("\xEF\xBF\xBD");
      ++i;
    } else {
      out.append(text, i, length);
      i += length;
    }
  }
  return out;
}

// A device's text for the terminal: valid UTF-8, and control characters (C0, DEL, C1), which
// could move the cursor or start an escape sequence, shown as '?'.
std::string Shown(std::string_view text) {
  const std::string valid = ValidUtf8(text);
  std::string out;
  for (std::size_t i = 0; i < valid.size(); ++i) {
    const auto c = static_cast<unsigned char>(valid[i]);
    if (c == 0xC2 && static_cast<unsigned char>(valid[i + 1]) < 0xA0) {
      out.push_back('?');
      ++i;
    } else {
      out.push_back(c < 0x20 || c == 0x7F ? '?' : static_cast<char>(c));
    }
  }
  return out;
}

// A JSON string of valid UTF-8; quotes, backslashes and control characters escaped.
std::string Json(std::string_view text) {
  std::string out = "\"";
  for (const char byte : ValidUtf8(text)) {
    const auto c = static_cast<unsigned char>(byte);
    if (c == '"' || c == '\\') {
      out.append(1, '\\').append(1, byte);
    } else if (c < 0x20 || c == 0x7F) {
      char escaped[8];
      std::snprintf(escaped, sizeof escaped, "\\u%04x", c);
      out.append(escaped);
    } else {
      out.push_back(byte);
    }
  }
  return out + "\"";
}

std::string JsonOrNull(const std::string& text) {
  return text.empty() ? "null" : Json(text);
}

bool SharesIds(const platform::DeviceListing& listing, const platform::UsbPrinterEntry& printer) {
  return std::count_if(listing.usbPrinters.begin(), listing.usbPrinters.end(),
                       [&printer](const platform::UsbPrinterEntry& other) {
                         return other.vendorId == printer.vendorId &&
                                other.productId == printer.productId;
                       }) > 1;
}

void PrintText(const platform::DeviceListing& listing, std::ostream& out) {
  out << "USB printers:\n";
  if (listing.usbPrinters.empty()) {
    out << "  (none)\n";
  }
  for (const platform::UsbPrinterEntry& printer : listing.usbPrinters) {
    out << "  " << Hex4(printer.vendorId) << ':' << Hex4(printer.productId) << "  "
        << Shown(printer.manufacturer) << (printer.manufacturer.empty() ? "" : " ")
        << Shown(printer.product) << "  serial "
        << (printer.serial.empty() ? "(none)" : Shown(printer.serial)) << '\n';
    if (printer.node.empty()) {
      out << "    no kernel driver: reached through libusb on " << printer.usbfsNode << " ("
          << Access(printer.accessible, printer.reason) << ")\n";
    } else {
      out << "    node " << printer.node << " (" << Access(printer.accessible, printer.reason)
          << ")\n";
    }
    if (printer.deviceId.empty()) {
      out << "    device ID: not read\n";
    } else {
      const platform::DeviceIdFields id = platform::ParseDeviceId(printer.deviceId);
      out << "    device ID: MFG " << Shown(id.manufacturer) << "; MDL " << Shown(id.model)
          << "; CMD " << Shown(id.commandSet) << "; CLS " << Shown(id.deviceClass) << "; SN "
          << Shown(id.serial) << '\n';
    }
    out << "    settings: Vid=" << Hex4(printer.vendorId) << " Pid=" << Hex4(printer.productId);
    // The ids alone open no printer while another has them too: the port needs the path.
    if (SharesIds(listing, printer)) {
      out << " GUID=" << printer.devicePath;
    }
    out << '\n';
  }
  const auto ports = [&out](const char* title, const std::vector<platform::PortEntry>& list) {
    out << title << ":\n";
    if (list.empty()) {
      out << "  (none)\n";
    }
    for (const platform::PortEntry& port : list) {
      out << "  " << port.node << " (" << Access(port.accessible, port.reason) << ")\n";
    }
  };
  ports("Parallel ports", listing.parallelPorts);
  ports("Serial ports", listing.serialPorts);
}

std::string JsonPorts(const std::vector<platform::PortEntry>& list) {
  std::string out = "[";
  for (std::size_t i = 0; i < list.size(); ++i) {
    out += std::string(i == 0 ? "" : ",") + "\n    {\"node\": " + Json(list[i].node) +
           ", \"accessible\": " + (list[i].accessible ? "true" : "false") +
           ", \"reason\": " + JsonOrNull(list[i].reason) + "}";
  }
  return out + (list.empty() ? "]" : "\n  ]");
}

std::string JsonDeviceId(const std::string& text) {
  if (text.empty()) {
    return "null";
  }
  const platform::DeviceIdFields id = platform::ParseDeviceId(text);
  return "{\"raw\": " + Json(text) + ", \"MFG\": " + JsonOrNull(id.manufacturer) +
         ", \"MDL\": " + JsonOrNull(id.model) + ", \"CMD\": " + JsonOrNull(id.commandSet) +
         ", \"CLS\": " + JsonOrNull(id.deviceClass) + ", \"SN\": " + JsonOrNull(id.serial) + "}";
}

void PrintJson(const platform::DeviceListing& listing, std::ostream& out) {
  out << "{\n  \"usb_printers\": [";
  for (std::size_t i = 0; i < listing.usbPrinters.size(); ++i) {
    const platform::UsbPrinterEntry& p = listing.usbPrinters[i];
    out << (i == 0 ? "" : ",") << "\n    {\"vendor_id\": " << Json(Hex4(p.vendorId))
        << ", \"product_id\": " << Json(Hex4(p.productId))
        << ", \"manufacturer\": " << Json(p.manufacturer) << ", \"product\": " << Json(p.product)
        << ", \"serial\": " << Json(p.serial) << ", \"node\": " << JsonOrNull(p.node)
        << ", \"kernel_driver\": " << (p.node.empty() ? "false" : "true")
        << ", \"usbfs_node\": " << JsonOrNull(p.usbfsNode)
        << ", \"device_path\": " << Json(p.devicePath)
        << ", \"accessible\": " << (p.accessible ? "true" : "false")
        << ", \"reason\": " << JsonOrNull(p.reason)
        << ", \"device_id\": " << JsonDeviceId(p.deviceId) << "}";
  }
  out << (listing.usbPrinters.empty() ? "]" : "\n  ]")
      << ",\n  \"parallel_ports\": " << JsonPorts(listing.parallelPorts)
      << ",\n  \"serial_ports\": " << JsonPorts(listing.serialPorts) << "\n}\n";
}

}  // namespace

void RegisterListCommand(CLI::App& app, Invocation& invocation) {
  CLI::App* command = app.add_subcommand(
      "list",
      "List this machine's USB printers (ids, node, device ID), parallel and serial ports, and "
      "whether this user may open each.");
  command->footer(std::string("Always the real machine, also with --simulate.\n\n") +
                  kExitStatusNote);
  auto json = std::make_shared<bool>(false);
  command->add_flag("--json", *json, "print the same as JSON");
  command->callback([&invocation, json] {
    invocation.run = [json] {
      const platform::DeviceListing listing = platform::ListDevices();
      if (*json) {
        PrintJson(listing, std::cout);
      } else {
        PrintText(listing, std::cout);
      }
      return kExitSucceeded;
    };
  });
}

}  // namespace cli
