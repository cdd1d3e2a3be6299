#include "Discovery.h"

#include <cstring>
#include <vector>

#include "DeviceTable.h"
#include "platform/Services.h"
#include "platform/VopUsbDriver.h"

namespace vopusb {

namespace {

// The device information set, destroyed on every way out.
class InfoSet {
 public:
  InfoSet()
      : set_(platform::Current().SetupDiGetClassDevs(
            platform::vopusb::kInterfaceClass,
            platform::kDigcfPresent | platform::kDigcfDeviceInterface)) {}
  ~InfoSet() {
    if (valid()) {
      platform::Current().SetupDiDestroyDeviceInfoList(set_);
    }
  }
  InfoSet(const InfoSet&) = delete;
  InfoSet& operator=(const InfoSet&) = delete;

  bool valid() const { return set_ != platform::kInvalidDeviceInfoSet; }
  platform::DeviceInfoSet get() const { return set_; }

 private:
  platform::DeviceInfoSet set_;
};

// The detail record's size field as callers set it.
constexpr std::uint32_t kDetailSizeField = 5;

}  // namespace

Candidate FindCandidate(std::uint32_t index) {
  platform::Services& os = platform::Current();
  const InfoSet set;
  if (!set.valid()) {
    return {};
  }
  platform::DeviceInterfaceData data;
  data.cbSize = sizeof data;
  if (!os.SetupDiEnumDeviceInterfaces(set.get(), platform::vopusb::kInterfaceClass, index, &data)) {
    return {};
  }
  Candidate unusable{Candidate::Kind::kUnusable, {}};
  std::uint32_t required = 0;
  if (os.SetupDiGetDeviceInterfaceDetail(set.get(), data, nullptr, 0, &required) ||
      os.GetLastError() != platform::kErrorInsufficientBuffer ||
      required <= platform::kDeviceInterfaceDetailHeaderSize) {
    return unusable;
  }
  // The record is freed when the candidate is done with, whatever the outcome.
  std::vector<char> detail(required, '\0');
  std::memcpy(detail.data(), &kDetailSizeField, sizeof kDetailSizeField);
  if (!os.SetupDiGetDeviceInterfaceDetail(set.get(), data, detail.data(), required, nullptr)) {
    return unusable;
  }
  const char* path = detail.data() + platform::kDeviceInterfaceDetailHeaderSize;
  const std::size_t room = required - platform::kDeviceInterfaceDetailHeaderSize;
  const std::size_t length = strnlen(path, room);
  if (length == 0 || length == room || length >= kPathRoom) {
    return unusable;  // empty, no terminator inside the record, or a path no slot holds
  }
  return {Candidate::Kind::kPath, std::string(path, length)};
}

}  // namespace vopusb
