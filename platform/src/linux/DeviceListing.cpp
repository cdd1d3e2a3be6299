// The machine's printer connections: USB printers from the device tree, parallel and serial
// ports from /dev and sysfs.
#include "platform/DeviceListing.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <regex>

#include "linux/LibusbDevice.h"
#include "linux/UsbDeviceTree.h"
#include "linux/UsbPrinterLibusb.h"
#include "linux/UsbPrinterNode.h"

namespace platform {

namespace {

using linux_backend::UsbDeviceInfo;

constexpr int kPrinterClass = 7;
// Room for the longest text one control transfer brings: a shorter room left an ID longer
// than it shown as "not read".
constexpr std::uint32_t kIdRoom = linux_backend::kMaxControlData;

void CheckAccess(const std::string& node, bool& accessible, std::string& reason) {
  accessible = ::access(node.c_str(), R_OK | W_OK) == 0;
  if (!accessible) {
    reason = std::strerror(errno);
  }
}

// The printer class's GET_DEVICE_ID through libusb, for a printer without a kernel driver.
std::string DeviceIdThroughLibusb(const UsbDeviceInfo& device) {
  auto opened =
      linux_backend::LibusbDevice::Open(device.busNumber, device.address, device.usbfsNode);
  const auto endpoints = opened != nullptr
                             ? opened->FindBulkInterface(kPrinterClass, device.printerInterface)
                             : std::nullopt;
  if (!endpoints) {
    return {};
  }
  std::vector<std::uint8_t> text(kIdRoom + 1, 0);
  std::uint32_t count = 0;
  if (!linux_backend::ReadPrinterDeviceId(*opened, *endpoints, text.data(), kIdRoom, count, 2000)) {
    return {};
  }
  return {reinterpret_cast<const char*>(text.data()), count};
}

UsbPrinterEntry EntryOf(const UsbDeviceInfo& device) {
  UsbPrinterEntry entry;
  entry.vendorId = device.vendorId;
  entry.productId = device.productId;
  entry.manufacturer = device.manufacturer;
  entry.product = device.product;
  entry.serial = device.serial;
  entry.node = device.printerNode;
  entry.usbfsNode = device.usbfsNode;
  const bool kernelNode = !device.printerNode.empty();
  entry.devicePath =
      linux_backend::InterfacePath(device, kernelNode ? linux_backend::UsbClass::kPrintingSupport
                                                      : linux_backend::UsbClass::kUsbDevice);
  CheckAccess(kernelNode ? device.printerNode : device.usbfsNode, entry.accessible, entry.reason);
  entry.deviceId = device.ieee1284Id;
  if (!kernelNode && entry.accessible) {
    entry.deviceId = DeviceIdThroughLibusb(device);
  }
  return entry;
}

// The nodes in /dev whose names match, in name order.
std::vector<std::string> Nodes(const std::regex& name) {
  std::vector<std::string> nodes;
  std::error_code error;
  for (const auto& file : std::filesystem::directory_iterator("/dev", error)) {
    if (std::regex_match(file.path().filename().string(), name) &&
        std::filesystem::is_character_file(file.path(), error)) {
      nodes.push_back(file.path().string());
    }
  }
  std::sort(nodes.begin(), nodes.end());
  return nodes;
}

// A 8250-style serial port (ttySn) exists for every possible port; sysfs tells which have a
// UART behind them (type 0 is none).
bool SerialPortPresent(const std::string& node) {
  const std::string name = std::filesystem::path(node).filename().string();
  if (!name.starts_with("ttyS")) {
    return true;
  }
  std::ifstream type("/sys/class/tty/" + name + "/type");
  int value = 0;
  return static_cast<bool>(type >> value) && value != 0;
}

std::vector<PortEntry> Ports(const std::regex& name, bool serial) {
  std::vector<PortEntry> ports;
  for (const std::string& node : Nodes(name)) {
    if (serial && !SerialPortPresent(node)) {
      continue;
    }
    PortEntry port{node, false, {}};
    CheckAccess(node, port.accessible, port.reason);
    ports.push_back(std::move(port));
  }
  return ports;
}

}  // namespace

DeviceListing ListDevices() {
  DeviceListing listing;
  for (const UsbDeviceInfo& device : linux_backend::ListUsbDevices()) {
    if (device.printerInterface >= 0) {
      listing.usbPrinters.push_back(EntryOf(device));
    }
  }
  listing.parallelPorts = Ports(std::regex(R"((lp|parport)[0-9]+)"), false);
  listing.serialPorts = Ports(std::regex(R"(tty(S|USB|ACM)[0-9]+)"), true);
  return listing;
}

}  // namespace platform
