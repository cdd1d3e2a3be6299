#include "UsbTestbed.h"

#include <sys/ioctl.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <span>

namespace usb_test {

namespace {

std::string Hex4(std::uint16_t value) {
  char text[8];
  std::snprintf(text, sizeof text, "%04x", static_cast<unsigned>(value));
  return text;
}

FakePrinter* PrinterOf(gpointer data) {
  return static_cast<FakePrinter*>(data);
}

gboolean HandleWrite(UMockdevIoctlBase* /*handler*/, UMockdevIoctlClient* client, gpointer data) {
  FakePrinter& printer = *PrinterOf(data);
  UMockdevIoctlData* arg = umockdev_ioctl_client_get_arg(client);
  std::lock_guard lock(printer.mutex);
  if (printer.gone) {
    umockdev_ioctl_client_complete(client, -1, ENODEV);
  } else if (printer.stalled) {
    umockdev_ioctl_client_complete(client, -1, EAGAIN);
  } else if (printer.virtualPrinter != nullptr) {
    const auto bytes =
        std::span<const std::uint8_t>(arg->data, static_cast<std::size_t>(arg->data_len));
    printer.received.insert(printer.received.end(), bytes.begin(), bytes.end());
    const sim::IoResult result = printer.virtualPrinter->Write(bytes);
    umockdev_ioctl_client_complete(client, result.ok ? static_cast<glong>(result.count) : -1,
                                   result.ok ? 0 : EIO);
  } else {
    const auto taken =
        std::min<std::size_t>(static_cast<std::size_t>(arg->data_len), printer.writeLimit);
    printer.received.insert(printer.received.end(), arg->data, arg->data + taken);
    umockdev_ioctl_client_complete(client, static_cast<glong>(taken), 0);
  }
  return TRUE;
}

gboolean HandleRead(UMockdevIoctlBase* /*handler*/, UMockdevIoctlClient* client, gpointer data) {
  FakePrinter& printer = *PrinterOf(data);
  UMockdevIoctlData* arg = umockdev_ioctl_client_get_arg(client);
  std::lock_guard lock(printer.mutex);
  if (printer.gone) {
    umockdev_ioctl_client_complete(client, -1, ENODEV);
  } else if (printer.virtualPrinter != nullptr) {
    const sim::IoResult result = printer.virtualPrinter->Read(
        std::span<std::uint8_t>(arg->data, static_cast<std::size_t>(arg->data_len)));
    if (result.ok && result.count > 0) {
      umockdev_ioctl_client_complete(client, static_cast<glong>(result.count), 0);
    } else {
      umockdev_ioctl_client_complete(client, -1, result.ok ? EAGAIN : EIO);
    }
  } else if (printer.replies.empty()) {
    umockdev_ioctl_client_complete(client, -1, EAGAIN);
  } else {
    std::vector<std::uint8_t> reply = std::move(printer.replies.front());
    printer.replies.pop_front();
    const auto n = std::min<std::size_t>(reply.size(), static_cast<std::size_t>(arg->data_len));
    std::memcpy(arg->data, reply.data(), n);
    umockdev_ioctl_client_complete(client, static_cast<glong>(n), 0);
  }
  return TRUE;
}

// The printer driver's device-ID request, 'P' 1 with the buffer's length in the request.
gboolean HandleIoctl(UMockdevIoctlBase* /*handler*/, UMockdevIoctlClient* client, gpointer data) {
  FakePrinter& printer = *PrinterOf(data);
  const gulong request = umockdev_ioctl_client_get_request(client);
  if (_IOC_TYPE(request) != 'P' || _IOC_NR(request) != 1) {
    umockdev_ioctl_client_complete(client, -1, ENOTTY);
    return TRUE;
  }
  std::lock_guard lock(printer.mutex);
  if (printer.gone) {
    umockdev_ioctl_client_complete(client, -1, ENODEV);
    return TRUE;
  }
  const std::size_t room = _IOC_SIZE(request);
  std::vector<std::uint8_t> reply(2 + printer.deviceId.size());
  reply[0] = static_cast<std::uint8_t>(reply.size() >> 8);
  reply[1] = static_cast<std::uint8_t>(reply.size() & 0xFF);
  std::copy(printer.deviceId.begin(), printer.deviceId.end(), reply.begin() + 2);
  UMockdevIoctlData* arg = umockdev_ioctl_client_get_arg(client);
  UMockdevIoctlData* buffer = umockdev_ioctl_data_resolve(arg, 0, room, nullptr);
  if (buffer == nullptr) {
    umockdev_ioctl_client_complete(client, -1, EFAULT);
    return TRUE;
  }
  std::memcpy(buffer->data, reply.data(), std::min(room, reply.size()));
  umockdev_ioctl_client_complete(client, 0, 0);
  return TRUE;
}

}  // namespace

UsbTestbed::UsbTestbed() : testbed_(umockdev_testbed_new()) {}

// The testbed records a node's numbers; the node itself is a file of the testbed's /dev.
void UsbTestbed::MakeNodeFile(const std::string& node) {
  gchar* root = umockdev_testbed_get_root_dir(testbed_);
  const std::filesystem::path file = std::filesystem::path(root) / node.substr(1);
  g_free(root);
  std::filesystem::create_directories(file.parent_path());
  std::ofstream created(file);
}

UsbTestbed::~UsbTestbed() {
  g_object_unref(testbed_);
  for (GObject* handler : handlers_) {
    g_object_unref(handler);
  }
}

std::string UsbTestbed::AddUsbDevice(const PrinterLayout& layout) {
  const std::string bus = layout.port.substr(0, layout.port.find('-'));
  const std::string address = std::to_string(devices_.size() + 2);
  char node[32];
  std::snprintf(node, sizeof node, "/dev/bus/usb/%03d/%03d", std::stoi(bus), std::stoi(address));
  gchar* syspath = umockdev_testbed_add_device(
      testbed_, "usb", layout.port.c_str(), nullptr, "idVendor", Hex4(layout.vendorId).c_str(),
      "idProduct", Hex4(layout.productId).c_str(), "serial", layout.serial.c_str(), "manufacturer",
      layout.manufacturer.c_str(), "product", layout.product.c_str(), "busnum", bus.c_str(),
      "devnum", address.c_str(), nullptr, "DEVTYPE", "usb_device", "DEVNAME", node, nullptr);
  std::string path = syspath;
  g_free(syspath);
  devices_.emplace_back(layout.port, path);
  return path;
}

std::string UsbTestbed::AddPrinter(const PrinterLayout& layout, FakePrinter* printer) {
  const std::string device = AddUsbDevice(layout);
  const std::string interfaceName = layout.port + ":1.0";
  gchar* interface = umockdev_testbed_add_device(
      testbed_, "usb", interfaceName.c_str(), device.c_str(), "bInterfaceClass", "07",
      "bInterfaceNumber", "00", "ieee1284_id", layout.ieee1284Id.c_str(), nullptr, "DEVTYPE",
      "usb_interface", nullptr);
  std::string node;
  if (layout.lpNumber >= 0) {
    node = "/dev/usb/lp" + std::to_string(layout.lpNumber);
    const std::string name = "lp" + std::to_string(layout.lpNumber);
    const std::string major = "180";
    const std::string minor = std::to_string(layout.lpNumber);
    g_free(umockdev_testbed_add_device(
        testbed_, "usbmisc", name.c_str(), interface, "dev", (major + ":" + minor).c_str(), nullptr,
        "DEVNAME", node.c_str(), "MAJOR", major.c_str(), "MINOR", minor.c_str(), nullptr));
    MakeNodeFile(node);
    if (printer != nullptr) {
      UMockdevIoctlBase* handler = umockdev_ioctl_base_new();
      g_signal_connect(handler, "handle-write", G_CALLBACK(HandleWrite), printer);
      g_signal_connect(handler, "handle-read", G_CALLBACK(HandleRead), printer);
      g_signal_connect(handler, "handle-ioctl", G_CALLBACK(HandleIoctl), printer);
      umockdev_testbed_attach_ioctl(testbed_, node.c_str(), handler, nullptr);
      handlers_.push_back(G_OBJECT(handler));
    }
  }
  g_free(interface);
  return node;
}

void UsbTestbed::AddOtherDevice(const std::string& port, std::uint16_t vendorId,
                                std::uint16_t productId) {
  PrinterLayout layout;
  layout.port = port;
  layout.vendorId = vendorId;
  layout.productId = productId;
  layout.serial.clear();
  AddUsbDevice(layout);
}

void UsbTestbed::Remove(const std::string& port) {
  for (const auto& [name, syspath] : devices_) {
    if (name == port) {
      umockdev_testbed_remove_device(testbed_, syspath.c_str());
    }
  }
}

}  // namespace usb_test
