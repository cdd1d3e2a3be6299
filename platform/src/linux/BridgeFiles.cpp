#include "linux/BridgeFiles.h"

#include <algorithm>
#include <cctype>
#include <map>
#include <mutex>
#include <optional>
#include <set>
#include <span>
#include <vector>

#include "linux/BridgeServedDevices.h"
#include "linux/LibusbBulk.h"
#include "linux/LibusbDevice.h"
#include "linux/UsbDeviceTree.h"
#include "linux/UsbFailure.h"
#include "platform/FailureReason.h"
#include "platform/VopUsbDriver.h"

namespace platform::linux_backend {

namespace {

constexpr std::uint8_t kStandardDeviceIn = 0x80;
constexpr std::uint8_t kGetStatus = 0;
constexpr std::uint8_t kGetDescriptor = 6;
constexpr std::uint8_t kRecipientMask = 0x1F;
constexpr std::uint8_t kRecipientInterface = 1;
constexpr std::uint8_t kClassInterfaceIn = 0xA1;
constexpr std::uint8_t kGetDeviceId = 0;
constexpr std::uint8_t kTransferTypeMask = 0x03;
constexpr std::uint8_t kBulk = 2;
constexpr std::uint8_t kInterrupt = 3;
constexpr std::uint8_t kDirectionIn = 0x80;
constexpr std::uint32_t kMaxControlLength = 0xFFFF;

struct BridgePath {
  std::string device;
  int interfaceNumber = -1;  // -1 with pipe -1: the device itself
  int pipe = -1;
};

std::string Lower(std::string_view text) {
  std::string lower(text);
  std::transform(lower.begin(), lower.end(), lower.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return lower;
}

// Three decimal digits at the front of text, 0 to 255.
std::optional<int> PipeNumber(std::string_view text) {
  if (text.size() < 3 || !std::all_of(text.begin(), text.begin() + 3,
                                      [](unsigned char c) { return std::isdigit(c) != 0; })) {
    return std::nullopt;
  }
  const int number = (text[0] - '0') * 100 + (text[1] - '0') * 10 + (text[2] - '0');
  return number <= 255 ? std::optional<int>(number) : std::nullopt;
}

std::optional<BridgePath> ParseBridgePath(std::string_view path) {
  const std::string lower = Lower(path);
  const std::string_view guid = ClassGuidText(UsbClass::kBridge);
  const std::size_t at = lower.find(guid);
  if (at == std::string::npos) {
    return std::nullopt;
  }
  BridgePath parsed{std::string(path.substr(0, at + guid.size()))};
  const std::string_view rest = std::string_view(lower).substr(at + guid.size());
  if (rest.empty()) {
    return parsed;
  }
  // "\if" NNN "pipe" MMM
  constexpr std::size_t kSuffixSize = 3 + 3 + 4 + 3;
  if (rest.size() != kSuffixSize || !rest.starts_with(R"(\if)") || rest.substr(6, 4) != "pipe") {
    return std::nullopt;
  }
  const auto interfaceNumber = PipeNumber(rest.substr(3));
  const auto pipe = PipeNumber(rest.substr(10));
  if (!interfaceNumber || !pipe) {
    return std::nullopt;
  }
  parsed.interfaceNumber = *interfaceNumber;
  parsed.pipe = *pipe;
  return parsed;
}

// One libusb handle for every handle on a device, with the claims its handles hold.
class BridgeSession {
 public:
  BridgeSession(std::unique_ptr<LibusbDevice> device, UsbDeviceInfo info)
      : device_(std::move(device)), info_(std::move(info)) {}

  // The session of the device, opened unless another handle has it open.
  static std::shared_ptr<BridgeSession> Open(const UsbDeviceInfo& info) {
    static std::mutex mutex;
    static std::map<std::string, std::weak_ptr<BridgeSession>> sessions;
    const std::string name = NodeName(info);
    const std::lock_guard lock(mutex);
    std::erase_if(sessions, [](const auto& entry) { return entry.second.expired(); });
    // The last handle on a session may close between the sweep above and this look.
    if (const auto it = sessions.find(name); it != sessions.end()) {
      if (auto session = it->second.lock()) {
        return session;
      }
    }
    auto device = LibusbDevice::Open(info.busNumber, info.address, name);
    if (device == nullptr) {
      return nullptr;
    }
    auto session = std::make_shared<BridgeSession>(std::move(device), info);
    sessions.insert_or_assign(name, session);
    return session;
  }

  LibusbDevice& Device() { return *device_; }
  const UsbDeviceInfo& Info() const { return info_; }

  // The interface stays claimed while any hold on it lasts.
  bool Hold(int interfaceNumber) {
    const std::lock_guard lock(mutex_);
    int& holds = holds_[interfaceNumber];
    if (holds == 0 && !device_->ClaimInterface(interfaceNumber)) {
      holds_.erase(interfaceNumber);
      return false;
    }
    ++holds;
    return true;
  }
  void Release(int interfaceNumber) {
    const std::lock_guard lock(mutex_);
    const auto it = holds_.find(interfaceNumber);
    if (it != holds_.end() && --it->second == 0) {
      holds_.erase(it);
      device_->ReleaseInterface(interfaceNumber);
    }
  }

  // The result of a transfer, with the reason noted when the device went away or did not
  // answer.
  bool Noted(bool ok) {
    if (!ok) {
      NoteUsbTransferFailure(device_->Name());
    }
    return ok;
  }

 private:
  std::unique_ptr<LibusbDevice> device_;
  const UsbDeviceInfo info_;
  std::mutex mutex_;
  std::map<int, int> holds_;
};

// The interface a request to an interface names: the low byte of wIndex, except in the
// printer class's GET_DEVICE_ID, whose wIndex carries the interface in its high byte and the
// alternate setting in its low byte.
int InterfaceOf(std::uint8_t requestType, std::uint8_t request, std::uint16_t index) {
  const bool deviceId = requestType == kClassInterfaceIn && request == kGetDeviceId;
  return deviceId ? index >> 8 : index & 0xFF;
}

bool Refused(std::uint32_t& count, std::uint32_t error) {
  count = 0;
  SetLastErrorCode(error);
  return false;
}

class BridgeDevice final : public DeviceLink {
 public:
  explicit BridgeDevice(std::shared_ptr<BridgeSession> session) : session_(std::move(session)) {}
  ~BridgeDevice() override {
    for (const int interfaceNumber : held_) {
      session_->Release(interfaceNumber);
    }
  }
  BridgeDevice(const BridgeDevice&) = delete;
  BridgeDevice& operator=(const BridgeDevice&) = delete;

  std::string Name() const override { return session_->Device().Name(); }

  // Bulk data goes through the pipes.
  bool Read(std::uint8_t* /*buffer*/, std::uint32_t /*length*/, std::uint32_t& count) override {
    return Refused(count, kErrorInvalidFunction);
  }
  bool Write(const std::uint8_t* /*data*/, std::uint32_t /*length*/,
             std::uint32_t& count) override {
    return Refused(count, kErrorInvalidFunction);
  }

  bool IoControl(std::uint32_t code, const std::uint8_t* in, std::uint32_t inLength,
                 std::uint8_t* out, std::uint32_t outLength, std::uint32_t& count) override {
    count = 0;
    switch (code) {
      case vopusb::kIoctlControlIn:
        return ControlRequest({in, inLength}, true, out, outLength, count);
      case vopusb::kIoctlControlOut:
        return ControlRequest({in, inLength}, false, nullptr, 0, count);
      case vopusb::kIoctlGetDescriptor:
        return GetDescriptor({in, inLength}, out, outLength, count);
      case vopusb::kIoctlResetDevice:
        return session_->Noted(session_->Device().Reset());
      case vopusb::kIoctlCheck:
        return Check(out, outLength, count);
      default:
        return Unsupported(count);
    }
  }

 private:
  // in: the control header, with the data to send after it for a host-to-device request.
  bool ControlRequest(std::span<const std::uint8_t> in, bool deviceToHost, std::uint8_t* out,
                      std::uint32_t outLength, std::uint32_t& count) {
    const auto header = vopusb::DecodeControlHeader(in);
    if (!header) {
      return Refused(count, kErrorInvalidParameter);
    }
    const auto requestType = vopusb::RequestTypeOf(header->function, deviceToHost);
    std::vector<std::uint8_t> sent(in.begin() + vopusb::kControlHeaderSize, in.end());
    // A request that may be answered short asks for no more than one control transfer carries:
    // a larger room would fail the request, not give the answer.
    const bool shortOk = (header->flags & vopusb::kShortTransferOk) != 0;
    const std::uint32_t length = !deviceToHost
                                     ? static_cast<std::uint32_t>(sent.size())
                                     : (shortOk ? std::min(outLength, kMaxControlData) : outLength);
    if (!requestType.has_value() || length > kMaxControlLength) {
      return Refused(count, kErrorInvalidParameter);
    }
    const std::uint8_t type = requestType.value();
    if ((type & kRecipientMask) == kRecipientInterface &&
        !HoldInterface(InterfaceOf(type, header->request, header->index))) {
      return false;
    }
    std::uint8_t* data = deviceToHost ? out : sent.data();
    std::uint32_t done = 0;
    if (!session_->Noted(session_->Device().Control(
            type, header->request, header->value, header->index, data,
            static_cast<std::uint16_t>(length), done, kControlTimeoutMs))) {
      return false;
    }
    // A device-to-host request may be answered short only when its flags allow it.
    if (deviceToHost && done < length && !shortOk) {
      return Refused(count, kErrorGenFailure);
    }
    count = deviceToHost ? done : 0;
    return true;
  }

  // in: type, index, language id (little-endian).
  bool GetDescriptor(std::span<const std::uint8_t> in, std::uint8_t* out, std::uint32_t outLength,
                     std::uint32_t& count) {
    if (in.size() < vopusb::kDescriptorRequestSize) {
      return Refused(count, kErrorInvalidParameter);
    }
    const auto value = static_cast<std::uint16_t>((in[0] << 8) | in[1]);
    const auto language = static_cast<std::uint16_t>(in[2] | (in[3] << 8));
    const auto length = static_cast<std::uint16_t>(std::min(outLength, kMaxControlData));
    return session_->Noted(session_->Device().Control(
        kStandardDeviceIn, kGetDescriptor, value, language, out, length, count, kControlTimeoutMs));
  }

  // A standard GET_STATUS of the device: it answers, or it does not.
  bool Check(std::uint8_t* out, std::uint32_t outLength, std::uint32_t& count) {
    std::uint8_t status[2] = {};
    std::uint32_t done = 0;
    if (!session_->Noted(session_->Device().Control(kStandardDeviceIn, kGetStatus, 0, 0, status,
                                                    sizeof status, done, kControlTimeoutMs))) {
      return false;
    }
    count = std::min(done, outLength);
    std::copy_n(status, count, out);
    return true;
  }

  // A request to an interface needs the interface claimed (the kernel refuses it while a
  // driver of its own holds it); this handle keeps it until it is closed.
  bool HoldInterface(int interfaceNumber) {
    const std::lock_guard lock(mutex_);
    if (held_.contains(interfaceNumber)) {
      return true;
    }
    if (!session_->Hold(interfaceNumber)) {
      return false;
    }
    held_.insert(interfaceNumber);
    return true;
  }

  std::shared_ptr<BridgeSession> session_;
  std::mutex mutex_;
  std::set<int> held_;
};

class BridgePipe final : public DeviceLink {
 public:
  BridgePipe(std::shared_ptr<BridgeSession> session, int interfaceNumber, EndpointInfo endpoint)
      : session_(std::move(session)),
        interfaceNumber_(interfaceNumber),
        endpoint_(endpoint),
        reader_(endpoint.address, endpoint.maxPacket) {}
  ~BridgePipe() override { session_->Release(interfaceNumber_); }
  BridgePipe(const BridgePipe&) = delete;
  BridgePipe& operator=(const BridgePipe&) = delete;

  std::string Name() const override { return session_->Device().Name(); }

  bool Read(std::uint8_t* buffer, std::uint32_t length, std::uint32_t& count) override {
    if ((endpoint_.address & kDirectionIn) == 0) {
      return Refused(count, kErrorInvalidFunction);
    }
    return reader_.Read(session_->Device(), buffer, length, count, false);
  }
  bool Write(const std::uint8_t* data, std::uint32_t length, std::uint32_t& count) override {
    if ((endpoint_.address & kDirectionIn) != 0) {
      return Refused(count, kErrorInvalidFunction);
    }
    return WriteBulk(session_->Device(), endpoint_.address, data, length, count);
  }
  bool IoControl(std::uint32_t code, const std::uint8_t* /*in*/, std::uint32_t /*inLength*/,
                 std::uint8_t* /*out*/, std::uint32_t /*outLength*/,
                 std::uint32_t& count) override {
    count = 0;
    if (code != vopusb::kIoctlResetPipe) {
      return Unsupported(count);
    }
    return session_->Noted(session_->Device().ClearHalt(endpoint_.address));
  }

 private:
  std::shared_ptr<BridgeSession> session_;
  const int interfaceNumber_;
  const EndpointInfo endpoint_;
  BulkReader reader_;
};

// The setting the interface is in now, as the kernel tells it: a kernel driver that let the
// interface go may have set it back.
int CurrentSetting(const UsbDeviceInfo& device, int interfaceNumber) {
  for (const UsbDeviceInfo& present : ListUsbDevices()) {
    if (NodeName(present) == NodeName(device)) {
      const auto it = present.currentSettings.find(interfaceNumber);
      return it != present.currentSettings.end() ? it->second : 0;
    }
  }
  return 0;
}

std::unique_ptr<DeviceLink> OpenPipe(const std::shared_ptr<BridgeSession>& session,
                                     int interfaceNumber, int pipe) {
  if (!session->Hold(interfaceNumber)) {
    return nullptr;
  }
  const auto endpoints = session->Device().EndpointsOf(
      interfaceNumber, CurrentSetting(session->Info(), interfaceNumber));
  const std::string where =
      "interface " + std::to_string(interfaceNumber) + ", pipe " + std::to_string(pipe);
  std::string problem;
  const auto index = static_cast<std::size_t>(pipe);
  if (!endpoints || pipe < 0 || index >= endpoints->size()) {
    SetLastErrorCode(kErrorFileNotFound);
    problem = "It has no " + where + ".";
  } else if (const std::uint8_t type = (*endpoints)[index].attributes & kTransferTypeMask;
             type != kBulk && type != kInterrupt) {
    SetLastErrorCode(kErrorNotSupported);
    problem = "Its " + where + " is an isochronous endpoint, which the USB bridge does not carry.";
  } else {
    return std::make_unique<BridgePipe>(session, interfaceNumber, (*endpoints)[index]);
  }
  session->Release(interfaceNumber);
  NoteFailureReason({FailureKind::kAccessMethod, session->Device().Name(), problem});
  return nullptr;
}

}  // namespace

bool IsBridgePath(std::string_view path) {
  return Lower(path).find(ClassGuidText(UsbClass::kBridge)) != std::string::npos;
}

std::unique_ptr<DeviceLink> OpenBridgeFile(std::string_view path) {
  const auto parsed = ParseBridgePath(path);
  const std::vector<UsbDeviceInfo> devices =
      parsed ? BridgeServedDevices() : std::vector<UsbDeviceInfo>{};
  const auto device = std::find_if(devices.begin(), devices.end(), [&](const UsbDeviceInfo& d) {
    return SameTextNoCase(parsed->device, InterfacePath(d, UsbClass::kBridge));
  });
  if (device == devices.end()) {
    SetLastErrorCode(kErrorFileNotFound);
    if (parsed) {  // found by the search a moment ago, gone now
      NoteFailureReason({FailureKind::kDeviceGone, parsed->device, ""});
    }
    return nullptr;
  }
  auto session = BridgeSession::Open(*device);
  if (session == nullptr) {
    return nullptr;
  }
  if (parsed->pipe < 0) {
    SetLastErrorCode(kErrorSuccess);
    return std::make_unique<BridgeDevice>(std::move(session));
  }
  return OpenPipe(session, parsed->interfaceNumber, parsed->pipe);
}

}  // namespace platform::linux_backend
