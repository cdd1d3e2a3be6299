// zarnik-cli list: the machine's printer connections (USB printers, parallel and serial
// ports), each with whether this user may open it, as text or as JSON.
#include <cstdio>
#include <iostream>
#include <memory>
#include <string>

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

// A JSON string; control characters escaped, bytes that are no UTF-8 made U+FFFD.
std::string Json(const std::string& text) {
  std::string out = "\"";
  for (std::size_t i = 0; i < text.size(); ++i) {
    const auto c = static_cast<unsigned char>(text[i]);
    if (c == '"' || c == '\\') {
      out.append(1, '\\').append(1, static_cast<char>(c));
    } else if (c < 0x20 || c == 0x7F) {
      char escaped[8];
      std::snprintf(escaped, sizeof escaped, "\\u%04x", c);
      out.append(escaped);
    } else if (c < 0x80) {
      out.push_back(static_cast<char>(c));
    } else {
      const std::size_t length = c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : c >= 0xC2 ? 2 : 0;
      bool valid = length != 0 && c < 0xF5 && i + length <= text.size();
      for (std::size_t k = 1; valid && k < length; ++k) {
        valid = (static_cast<unsigned char>(text[i + k]) & 0xC0) == 0x80;
      }
      if (valid) {
        out.append(text, i, length);
        i += length - 1;
      } else {
        out.append("\xEF\xBF\xBD");
      }
    }
  }
  return out + "\"";
}

std::string JsonOrNull(const std::string& text) {
  return text.empty() ? "null" : Json(text);
}

void PrintText(const platform::DeviceListing& listing, std::ostream& out) {
  out << "USB printers:\n";
  if (listing.usbPrinters.empty()) {
    out << "  (none)\n";
  }
  for (const platform::UsbPrinterEntry& printer : listing.usbPrinters) {
    out << "  " << Hex4(printer.vendorId) << ':' << Hex4(printer.productId) << "  "
        << printer.manufacturer << (printer.manufacturer.empty() ? "" : " ") << printer.product
        << "  serial " << (printer.serial.empty() ? "(none)" : printer.serial) << '\n';
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
      out << "    device ID: MFG " << id.manufacturer << "; MDL " << id.model << "; CMD "
          << id.commandSet << "; CLS " << id.deviceClass << "; SN " << id.serial << '\n';
    }
    out << "    settings: Vid=" << Hex4(printer.vendorId) << " Pid=" << Hex4(printer.productId)
        << '\n';
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
