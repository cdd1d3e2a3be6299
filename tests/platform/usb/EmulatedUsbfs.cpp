#include "EmulatedUsbfs.h"

#include <linux/usbdevice_fs.h>
#include <sys/ioctl.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstddef>
#include <cstdio>
#include <cstring>

namespace usb_test {

namespace {

constexpr int kUrbGone = -ESHUTDOWN;  // what a URB of an unplugged device ends with
constexpr int kUrbDiscarded = -ENOENT;
constexpr int kUrbStall = -EPIPE;

std::uint8_t Low(unsigned value) {
  return static_cast<std::uint8_t>(value & 0xFF);
}
std::uint8_t High(unsigned value) {
  return static_cast<std::uint8_t>((value >> 8) & 0xFF);
}

// The device descriptor followed by the one configuration with interface 0.
std::vector<std::uint8_t> Descriptors(const UsbDeviceLayout& layout) {
  std::vector<std::uint8_t> d = {18,
                                 1,
                                 0x00,
                                 0x02,
                                 0,
                                 0,
                                 0,
                                 64,
                                 Low(layout.vendorId),
                                 High(layout.vendorId),
                                 Low(layout.productId),
                                 High(layout.productId),
                                 0x00,
                                 0x01,
                                 0,
                                 0,
                                 0,
                                 1};
  std::vector<std::vector<EndpointLayout>> settings;
  if (!layout.firstSetting.empty()) {
    settings.push_back(layout.firstSetting);
  }
  settings.push_back(layout.endpoints);
  unsigned total = 9;
  for (const auto& endpoints : settings) {
    total += 9 + 7 * static_cast<unsigned>(endpoints.size());
  }
  d.insert(d.end(), {9, 2, Low(total), High(total), 1, 1, 0, 0xC0, 1});
  for (std::size_t alternate = 0; alternate < settings.size(); ++alternate) {
    const auto& endpoints = settings[alternate];
    const bool twoWay =
        std::any_of(endpoints.begin(), endpoints.end(),
                    [](const EndpointLayout& e) { return (e.address & 0x80) != 0; });
    d.insert(d.end(), {9, 4, 0, Low(static_cast<unsigned>(alternate)),
                       Low(static_cast<unsigned>(endpoints.size())), layout.interfaceClass, 1,
                       static_cast<std::uint8_t>(twoWay ? 2 : 1), 0});
    for (const EndpointLayout& e : endpoints) {
      d.insert(d.end(), {7, 5, e.address, e.attributes, Low(e.maxPacket), High(e.maxPacket), 0});
    }
  }
  return d;
}

std::string Hex(const std::vector<std::uint8_t>& bytes) {
  std::string text;
  char pair[4];
  for (const std::uint8_t b : bytes) {
    std::snprintf(pair, sizeof pair, "%02x", static_cast<unsigned>(b));
    text += pair;
  }
  return text;
}

gboolean OnIoctl(UMockdevIoctlBase* /*handler*/, UMockdevIoctlClient* client, gpointer device) {
  return static_cast<EmulatedUsbDevice*>(device)->HandleIoctl(client) ? TRUE : FALSE;
}

// Bytes for the caller's memory behind data.
void Store(UMockdevIoctlData* data, std::size_t offset, const void* bytes, std::size_t size) {
  std::vector<guint8> copy(size);
  std::memcpy(copy.data(), bytes, size);
  umockdev_ioctl_data_update(data, offset, copy.data(), static_cast<gint>(size));
}

usbdevfs_urb UrbOf(UMockdevIoctlData* data) {
  usbdevfs_urb urb{};
  std::memcpy(&urb, data->data, sizeof urb);
  return urb;
}

// Ends a URB: its status and length go back to the caller's record.
void Finish(UMockdevIoctlData* data, int status, int length) {
  usbdevfs_urb urb = UrbOf(data);
  urb.status = status;
  urb.actual_length = length;
  Store(data, 0, &urb, sizeof urb);
}

int next_address = 2;

}  // namespace

UMockdevTestbed* SharedTestbed() {
  static UMockdevTestbed* testbed = umockdev_testbed_new();
  return testbed;
}

EmulatedUsbDevice::EmulatedUsbDevice(UsbDeviceLayout layout)
    : layout_(std::move(layout)),
      descriptors_(Descriptors(layout_)),
      handler_(umockdev_ioctl_base_new()) {
  const int address = next_address++;
  port_ = "1-" + std::to_string(address);
  syspath_ = "/sys/devices/" + port_;
  char node[32];
  std::snprintf(node, sizeof node, "/dev/bus/usb/001/%03d", address);
  node_ = node;
  driverBound_ = layout_.kernelDriver;
  // The node answers before the device's uevent tells libusb about it.
  g_signal_connect(handler_, "handle-ioctl", G_CALLBACK(OnIoctl), this);
  umockdev_testbed_attach_ioctl(SharedTestbed(), node_.c_str(), handler_, nullptr);
  char ids[64];
  std::snprintf(ids, sizeof ids, "A: idVendor=%04x\\n\nA: idProduct=%04x\\n\n",
                static_cast<unsigned>(layout_.vendorId), static_cast<unsigned>(layout_.productId));
  const std::string record =
      "P: /devices/" + port_ + "\nN: " + node_.substr(5) +
      "\nE: SUBSYSTEM=usb\nE: DEVNAME=" + node_ +
      "\nE: DEVTYPE=usb_device\nE: BUSNUM=001\nE: DEVNUM=" + node_.substr(node_.size() - 3) +
      "\nA: busnum=1\\n\nA: devnum=" + std::to_string(address) +
      "\\n\nA: bConfigurationValue=1\\n\nA: speed=480\\n\n" + ids +
      "H: descriptors=" + Hex(descriptors_) + "\n\nP: /devices/" + port_ + "/" + port_ +
      ":1.0\nE: SUBSYSTEM=usb\nE: DEVTYPE=usb_interface\nA: bInterfaceClass=" +
      (layout_.interfaceClass == 7 ? "07" : "ff") +
      "\\n\nA: bInterfaceNumber=00\\n\nA: bAlternateSetting= 0\\n\n";
  GError* error = nullptr;
  if (!umockdev_testbed_add_from_string(SharedTestbed(), record.c_str(), &error)) {
    std::fprintf(stderr, "cannot add the emulated device: %s\n", error->message);
    g_error_free(error);
  }
}

EmulatedUsbDevice::~EmulatedUsbDevice() {
  umockdev_testbed_uevent(SharedTestbed(), syspath_.c_str(), "remove");
  umockdev_testbed_remove_device(SharedTestbed(), syspath_.c_str());
  umockdev_testbed_detach_ioctl(SharedTestbed(), node_.c_str(), nullptr);
  g_object_unref(handler_);
  waitingIn_.insert(waitingIn_.end(), done_.begin(), done_.end());
  for (const Urb& u : waitingIn_) {
    umockdev_ioctl_data_unref(u.buffer);
    umockdev_ioctl_data_unref(u.urb);
  }
}

void EmulatedUsbDevice::QueueReply(std::vector<std::uint8_t> reply) {
  const std::lock_guard lock(mutex_);
  replies_.push_back(std::move(reply));
}

void EmulatedUsbDevice::Attach(sim::VirtualPrinter* printer) {
  const std::lock_guard lock(mutex_);
  printer_ = printer;
}

void EmulatedUsbDevice::UnplugOnNextTransfer() {
  const std::lock_guard lock(mutex_);
  unplugNext_ = true;
}

void EmulatedUsbDevice::HaltOut() {
  const std::lock_guard lock(mutex_);
  outHalted_ = true;
}

void EmulatedUsbDevice::ClaimElsewhere() {
  const std::lock_guard lock(mutex_);
  claimedElsewhere_ = true;
}

bool EmulatedUsbDevice::WaitForWaitingRead() {
  std::unique_lock lock(mutex_);
  return readWaiting_.wait_for(lock, std::chrono::seconds(10), [&] { return !waitingIn_.empty(); });
}

std::vector<std::uint8_t> EmulatedUsbDevice::Received() {
  const std::lock_guard lock(mutex_);
  return received_;
}

std::vector<std::array<std::uint8_t, 8>> EmulatedUsbDevice::Setups() {
  const std::lock_guard lock(mutex_);
  return setups_;
}

std::vector<std::uint8_t> EmulatedUsbDevice::ControlData() {
  const std::lock_guard lock(mutex_);
  return controlData_;
}

std::vector<std::string> EmulatedUsbDevice::Events() {
  const std::lock_guard lock(mutex_);
  return events_;
}

bool EmulatedUsbDevice::HandleIoctl(UMockdevIoctlClient* client) {
  const gulong request = umockdev_ioctl_client_get_request(client);
  UMockdevIoctlData* arg = umockdev_ioctl_client_get_arg(client);
  const std::lock_guard lock(mutex_);
  auto complete = [&](glong result, int error) {
    umockdev_ioctl_client_complete(client, result, error);
    return true;
  };
  // The interface or endpoint number an ioctl is given by address.
  auto number = [&]() {
    UMockdevIoctlData* value = umockdev_ioctl_data_resolve(arg, 0, sizeof(unsigned), nullptr);
    unsigned n = 0;
    std::memcpy(&n, value->data, sizeof n);
    umockdev_ioctl_data_unref(value);
    return n;
  };
  const bool reaping = request == USBDEVFS_REAPURB || request == USBDEVFS_REAPURBNDELAY ||
                       request == USBDEVFS_DISCARDURB;
  if (gone_ && !reaping) {
    return complete(-1, ENODEV);
  }
  switch (request) {
    case USBDEVFS_GET_CAPABILITIES: {
      UMockdevIoctlData* caps = umockdev_ioctl_data_resolve(arg, 0, sizeof(guint32), nullptr);
      const guint32 value = USBDEVFS_CAP_BULK_CONTINUATION | USBDEVFS_CAP_NO_PACKET_SIZE_LIM;
      Store(caps, 0, &value, sizeof value);
      umockdev_ioctl_data_unref(caps);
      return complete(0, 0);
    }
    case USBDEVFS_GETDRIVER: {
      if (!driverBound_) {
        return complete(-1, ENODATA);
      }
      UMockdevIoctlData* data =
          umockdev_ioctl_data_resolve(arg, 0, sizeof(usbdevfs_getdriver), nullptr);
      usbdevfs_getdriver driver{};
      std::strcpy(driver.driver, "usblp");
      Store(data, 0, &driver, sizeof driver);
      umockdev_ioctl_data_unref(data);
      return complete(0, 0);
    }
    case USBDEVFS_IOCTL: {  // a kernel driver let go of the interface, or given it back
      UMockdevIoctlData* data =
          umockdev_ioctl_data_resolve(arg, 0, sizeof(usbdevfs_ioctl), nullptr);
      usbdevfs_ioctl command{};
      std::memcpy(&command, data->data, sizeof command);
      umockdev_ioctl_data_unref(data);
      const bool detach = command.ioctl_code == static_cast<int>(USBDEVFS_DISCONNECT);
      if (detach && !driverBound_) {
        return complete(-1, ENODATA);
      }
      driverBound_ = !detach;
      events_.push_back((detach ? "detach " : "attach ") + std::to_string(command.ifno));
      return complete(0, 0);
    }
    case USBDEVFS_CLAIMINTERFACE:
    case USBDEVFS_RELEASEINTERFACE: {
      const bool claim = request == USBDEVFS_CLAIMINTERFACE;
      const unsigned interfaceNumber = number();
      if (interfaceNumber != 0) {
        return complete(-1, ENOENT);  // the device has interface 0 only
      }
      if (claim && (claimedElsewhere_ || driverBound_)) {
        return complete(-1, EBUSY);
      }
      events_.push_back((claim ? "claim " : "release ") + std::to_string(interfaceNumber));
      return complete(0, 0);
    }
    case USBDEVFS_SETINTERFACE:
      return complete(0, 0);
    case USBDEVFS_CLEAR_HALT: {
      char text[24];
      const unsigned endpoint = number();
      std::snprintf(text, sizeof text, "clear-halt %02x", endpoint);
      events_.emplace_back(text);
      outHalted_ = outHalted_ && (endpoint & 0x80) != 0;
      return complete(0, 0);
    }
    case USBDEVFS_RESET:
      events_.emplace_back("reset");
      return complete(0, 0);
    case USBDEVFS_SUBMITURB:
      return Submit(client, arg);
    case USBDEVFS_REAPURB:
    case USBDEVFS_REAPURBNDELAY:
      return Reap(client, arg);
    case USBDEVFS_DISCARDURB: {
      const auto address = reinterpret_cast<gulong>(*reinterpret_cast<void**>(arg->data));
      const auto it = std::find_if(waitingIn_.begin(), waitingIn_.end(),
                                   [&](const Urb& u) { return u.urb->client_addr == address; });
      if (it == waitingIn_.end()) {
        return complete(-1, EINVAL);
      }
      Finish(it->urb, kUrbDiscarded, 0);
      done_.push_back(*it);
      waitingIn_.erase(it);
      return complete(0, 0);
    }
    default:
      return complete(-1, ENOTTY);
  }
}

bool EmulatedUsbDevice::Submit(UMockdevIoctlClient* client, UMockdevIoctlData* arg) {
  UMockdevIoctlData* urbData = umockdev_ioctl_data_resolve(arg, 0, sizeof(usbdevfs_urb), nullptr);
  const usbdevfs_urb urb = UrbOf(urbData);
  UMockdevIoctlData* buffer = umockdev_ioctl_data_resolve(
      urbData, offsetof(usbdevfs_urb, buffer), static_cast<gsize>(urb.buffer_length), nullptr);
  const Urb taken{urbData, buffer};
  if (unplugNext_) {  // taken, and never answered: the device is gone meanwhile
    unplugNext_ = false;
    gone_ = true;
    waitingIn_.push_back(taken);
  } else if (urb.type == USBDEVFS_URB_TYPE_CONTROL) {
    Control(urbData, buffer);
    done_.push_back(taken);
  } else if ((urb.endpoint & 0x80) != 0) {
    waitingIn_.push_back(taken);
    readWaiting_.notify_all();
  } else if (outHalted_) {
    Finish(urbData, kUrbStall, 0);
    done_.push_back(taken);
  } else {
    const std::span<const std::uint8_t> bytes(buffer->data,
                                              static_cast<std::size_t>(urb.buffer_length));
    received_.insert(received_.end(), bytes.begin(), bytes.end());
    if (printer_ != nullptr) {
      printer_->Write(bytes);
    }
    Finish(urbData, 0, urb.buffer_length);
    done_.push_back(taken);
  }
  umockdev_ioctl_client_complete(client, 0, 0);
  return true;
}

// Standard GET_DESCRIPTOR and GET_STATUS, the printer class's GET_DEVICE_ID, and any request
// that sends data; everything else stalls.
void EmulatedUsbDevice::Control(UMockdevIoctlData* urb, UMockdevIoctlData* buffer) {
  std::array<std::uint8_t, 8> setup{};
  std::copy_n(buffer->data, setup.size(), setup.begin());
  setups_.push_back(setup);
  const unsigned value = setup[2] | (setup[3] << 8);
  const std::size_t length = setup[6] | (setup[7] << 8);
  std::vector<std::uint8_t> reply;
  if ((setup[0] & 0x80) == 0) {
    controlData_.insert(controlData_.end(), buffer->data + 8, buffer->data + 8 + length);
    Finish(urb, 0, static_cast<int>(length));
    return;
  }
  if (setup[0] == 0x80 && setup[1] == 6 && (value >> 8) == 1) {
    reply.assign(descriptors_.begin(), descriptors_.begin() + 18);
  } else if (setup[0] == 0x80 && setup[1] == 6 && (value >> 8) == 2) {
    reply.assign(descriptors_.begin() + 18, descriptors_.end());
  } else if (setup[0] == 0x80 && setup[1] == 0) {
    reply = {1, 0};
  } else if (setup[0] == 0xA1 && setup[1] == 0) {
    const std::size_t size = layout_.deviceId.size() + (layout_.idLengthCountsTextOnly ? 0 : 2);
    reply = {High(static_cast<unsigned>(size)), Low(static_cast<unsigned>(size))};
    reply.insert(reply.end(), layout_.deviceId.begin(), layout_.deviceId.end());
  } else {
    Finish(urb, kUrbStall, 0);
    return;
  }
  reply.resize(std::min(reply.size(), length));
  Store(buffer, 8, reply.data(), reply.size());
  Finish(urb, 0, static_cast<int>(reply.size()));
}

// Gives a waiting IN transfer the next reply, if there is one.
bool EmulatedUsbDevice::FillIn(UMockdevIoctlData* urb, UMockdevIoctlData* buffer) {
  std::vector<std::uint8_t> reply;
  const auto room = static_cast<std::size_t>(UrbOf(urb).buffer_length);
  if (printer_ != nullptr) {
    reply.resize(room);
    const sim::IoResult result = printer_->Read(reply);
    reply.resize(result.ok ? result.count : 0);
  } else if (!replies_.empty()) {
    reply = std::move(replies_.front());
    replies_.pop_front();
  }
  if (reply.empty()) {
    return false;
  }
  reply.resize(std::min(reply.size(), room));
  Store(buffer, 0, reply.data(), reply.size());
  Finish(urb, 0, static_cast<int>(reply.size()));
  return true;
}

bool EmulatedUsbDevice::Reap(UMockdevIoctlClient* client, UMockdevIoctlData* arg) {
  if (done_.empty() && !gone_ && !waitingIn_.empty() &&
      FillIn(waitingIn_.front().urb, waitingIn_.front().buffer)) {
    done_.push_back(waitingIn_.front());
    waitingIn_.pop_front();
  }
  if (done_.empty() && gone_) {  // an unplugged device ends what it had taken
    for (const Urb& u : waitingIn_) {
      Finish(u.urb, kUrbGone, 0);
      done_.push_back(u);
    }
    waitingIn_.clear();
  }
  if (done_.empty()) {
    umockdev_ioctl_client_complete(client, -1, gone_ ? ENODEV : EAGAIN);
    return true;
  }
  const Urb ended = done_.front();
  done_.pop_front();
  UMockdevIoctlData* pointer = umockdev_ioctl_data_resolve(arg, 0, sizeof(gpointer), nullptr);
  umockdev_ioctl_data_set_ptr(pointer, 0, ended.urb);
  umockdev_ioctl_data_unref(pointer);
  umockdev_ioctl_data_unref(ended.buffer);
  umockdev_ioctl_data_unref(ended.urb);
  umockdev_ioctl_client_complete(client, 0, 0);
  return true;
}

}  // namespace usb_test
