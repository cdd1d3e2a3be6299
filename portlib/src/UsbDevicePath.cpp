#include "UsbDevicePath.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>
#include <memory>
#include <new>

#include "Diagnostics.h"
#include "LibraryState.h"
#include "platform/Services.h"

namespace vopp2 {

namespace {

constexpr std::uint32_t kMaxMembers = 255;
// The device instance's ids: 17 characters after the bus prefix ("USB\").
constexpr std::size_t kBusPrefixLength = 4;
constexpr std::size_t kIdLength = 17;
constexpr std::uint32_t kInstanceValueSize = 256;

// The registry keys of the two classes; the interface's key name follows.
constexpr const char* kPrintingSupportKey =
    R"(System\CurrentControlSet\Control\DeviceClasses\{28d78fad-5a12-11d1-ae5b-0000f803a8c2}\)";
constexpr const char* kUsbDeviceKey =
    R"(System\CurrentControlSet\Control\DeviceClasses\{a5dcbf10-6530-11d2-901f-00c04fb951ed}\)";

// The device interface's path, or an empty text when its detail cannot be had. A null
// result means the record could not be allocated.
std::unique_ptr<std::string> InterfacePath(platform::DeviceInfoSet set,
                                           const platform::DeviceInterfaceData& data) {
  platform::Services& os = platform::Current();
  std::uint32_t required = 0;
  os.SetupDiGetDeviceInterfaceDetail(set, data, nullptr, 0, &required);
  const std::size_t size =
      std::max<std::size_t>(required, platform::kDeviceInterfaceDetailHeaderSize + 1);
  std::unique_ptr<char[]> detail(new (std::nothrow) char[size]);
  if (detail == nullptr) {
    return nullptr;
  }
  std::memset(detail.get(), 0, size);
  const std::uint32_t sizeField = 5;
  std::memcpy(detail.get(), &sizeField, sizeof sizeField);
  auto path = std::make_unique<std::string>();
  if (os.SetupDiGetDeviceInterfaceDetail(set, data, detail.get(), static_cast<std::uint32_t>(size),
                                         nullptr)) {
    const char* text = detail.get() + platform::kDeviceInterfaceDetailHeaderSize;
    *path = std::string(text, strnlen(text, size - platform::kDeviceInterfaceDetailHeaderSize));
  }
  return path;
}

// The registry key name of a device interface: its path with characters 0, 1 and 3 made '#'
// ("\\?\usb#..." becomes "##?#usb#...").
std::string KeyName(std::string path) {
  for (const std::size_t at : {0U, 1U, 3U}) {
    if (at < path.size()) {
      path[at] = '#';
    }
  }
  return path;
}

// The "DeviceInstance" value of the interface's registry key; false when there is none.
bool DeviceInstance(const std::string& key, std::string& instance) {
  platform::Services& os = platform::Current();
  platform::RegistryKey opened = platform::kNoKey;
  if (os.RegOpenKeyEx(platform::kHkeyLocalMachine, key.c_str(), platform::kKeyRead, &opened) !=
      platform::kRegSuccess) {
    return false;
  }
  char value[kInstanceValueSize + 1] = {};
  std::uint32_t type = 0;
  std::uint32_t length = kInstanceValueSize;
  const bool read =
      os.RegQueryValueEx(opened, "DeviceInstance", &type, value, &length) == platform::kRegSuccess;
  os.RegCloseKey(opened);
  if (read) {
    instance.assign(value, strnlen(value, std::min(length, kInstanceValueSize)));
  }
  return read;
}

std::string LowerCase(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return text;
}

// The instance's ids in lower case ("vid_xxxx&pid_xxxx"); empty when it is too short.
std::string IdsOf(const std::string& instance) {
  if (instance.size() < kBusPrefixLength + kIdLength) {
    return {};
  }
  return LowerCase(instance.substr(kBusPrefixLength, kIdLength));
}

bool SameIds(const std::string& instance, const char* wanted) {
  const std::string ids = IdsOf(instance);
  if (ids.empty()) {
    return false;
  }
  DebugLine(kLevelUsbSearchDetail, "%s == %s\n", ids.c_str(), wanted);
  return ids == wanted;
}

void WantedIds(char (&wanted)[32]) {
  const VopP2Param& param = Library().param;
  std::snprintf(wanted, sizeof wanted, "vid_%04x&pid_%04x",
                static_cast<unsigned>(param.wUsbVendorId),
                static_cast<unsigned>(param.wUsbProductId));
}

// The interface paths of the USB devices with the wanted ids, one per device instance, looked
// up without a word in the debug output. The USB device class lists every device, a printer
// the printing support has no interface for (one another program drives) too. Empty when the
// class cannot be enumerated.
std::vector<std::string> DevicesWithWantedIds() {
  char wanted[32];
  WantedIds(wanted);
  platform::Services& os = platform::Current();
  const platform::DeviceInfoSet set = os.SetupDiGetClassDevs(
      platform::kGuidUsbDevice, platform::kDigcfPresent | platform::kDigcfDeviceInterface);
  if (set == platform::kInvalidDeviceInfoSet) {
    return {};
  }
  std::vector<std::string> instances;
  std::vector<std::string> paths;
  for (std::uint32_t member = 0; member < kMaxMembers; ++member) {
    platform::DeviceInterfaceData data;
    data.cbSize = sizeof data;
    if (!os.SetupDiEnumDeviceInterfaces(set, platform::kGuidUsbDevice, member, &data)) {
      break;
    }
    const std::unique_ptr<std::string> interfacePath = InterfacePath(set, data);
    if (interfacePath == nullptr || interfacePath->empty() ||
        interfacePath->size() >= kDevicePathSize) {
      continue;
    }
    // The path carries the ids too: the registry is asked only about likely devices.
    std::string instance;
    if (LowerCase(*interfacePath).find(wanted) == std::string::npos ||
        !DeviceInstance(kUsbDeviceKey + KeyName(*interfacePath), instance) ||
        IdsOf(instance) != wanted ||
        std::find(instances.begin(), instances.end(), instance) != instances.end()) {
      continue;
    }
    instances.push_back(instance);
    paths.push_back(*interfacePath);
  }
  os.SetupDiDestroyDeviceInfoList(set);
  return paths;
}

}  // namespace

std::int32_t GetDevicePathPart(char* path, std::uint32_t search, SeenDevices* seen) {
  DebugLine(kLevelUsbSearch, "GetDevicePathPart\n");
  const VopP2Param& param = Library().param;
  if (param.szUsbDevicePath[0] != '\0') {
    // The caller fills the field; a path with no terminator ends at the field's end.
    std::snprintf(path, kDevicePathSize, "%.*s",
                  static_cast<int>(strnlen(param.szUsbDevicePath, sizeof param.szUsbDevicePath)),
                  param.szUsbDevicePath);
    return 1;
  }
  char wanted[32];
  WantedIds(wanted);
  const bool printingSupport = search == kSearchPrintingSupport;
  const platform::Guid& interfaceClass =
      printingSupport ? platform::kGuidUsbPrintingSupport : platform::kGuidUsbDevice;
  const std::string keyPrefix = printingSupport ? kPrintingSupportKey : kUsbDeviceKey;
  std::vector<std::string>* seenHere = nullptr;
  if (seen != nullptr) {
    seenHere = printingSupport ? &seen->printers : &seen->devices;
  }

  platform::Services& os = platform::Current();
  const platform::DeviceInfoSet set = os.SetupDiGetClassDevs(
      interfaceClass, platform::kDigcfPresent | platform::kDigcfDeviceInterface);
  if (set == platform::kInvalidDeviceInfoSet) {
    ReportFailure("GetDevicePath : SetupDiGetClassDevs() == 0, GetLastError == %d\n",
                  static_cast<int>(os.GetLastError()));
    return 0;
  }
  for (std::uint32_t member = 0; member < kMaxMembers; ++member) {
    platform::DeviceInterfaceData data;
    data.cbSize = sizeof data;
    if (!os.SetupDiEnumDeviceInterfaces(set, interfaceClass, member, &data)) {
      const std::uint32_t error = os.GetLastError();
      os.SetupDiDestroyDeviceInfoList(set);
      char text[96];
      std::snprintf(text, sizeof text,
                    "GetDevicePath : SetupDiEnumDeviceInterfaces() == 0, GetLastError == %d\n",
                    static_cast<int>(error));
      if (error == platform::kErrorNoMoreItems) {
        DebugLine(kLevelUsbSearchDetail, "%s", text);
      } else {
        ReportFailure("%s", text);
      }
      return 0;
    }
    const std::unique_ptr<std::string> interfacePath = InterfacePath(set, data);
    if (interfacePath == nullptr) {
      os.SetupDiDestroyDeviceInfoList(set);
      ReportFailure("GetDevicePath : DevDetail == NULL\n");
      return 0;
    }
    // A path that does not fit the caller's buffer could only be opened cut, as another path.
    if (interfacePath->empty() || interfacePath->size() >= kDevicePathSize) {
      continue;
    }
    const std::string key = keyPrefix + KeyName(*interfacePath);
    DebugLine(kLevelUsbSearchDetail, "%s\n", key.c_str());
    std::string instance;
    if (!DeviceInstance(key, instance)) {
      continue;
    }
    if (seenHere != nullptr) {
      seenHere->push_back(instance);
    }
    // While the caller holds the port, only the printer it began with will do.
    const char* held = Library().szHeldUsbPath;
    if (SameIds(instance, wanted) && (held[0] == '\0' || *interfacePath == held)) {
      std::snprintf(path, kDevicePathSize, "%s", interfacePath->c_str());
      os.SetupDiDestroyDeviceInfoList(set);
      return 1;
    }
  }
  os.SetupDiDestroyDeviceInfoList(set);
  ReportFailure("GetDevicePathPart : not found target\n");
  return 0;
}

std::int32_t GetDevicePath(char* path, SeenDevices* seen) {
  DebugLine(kLevelModeFunction, "GetDevicePath\n");
  const LibraryState& library = Library();
  std::int32_t found = 0;
  if (library.param.fForceUsb11 == 0) {
    DebugLine(kLevelUsbSearchPass, "GetDevicePath (USB2.0)\n");
    found = GetDevicePathPart(path, kSearchPrintingSupport, seen);
  }
  if (found == 0) {
    DebugLine(kLevelUsbSearchPass, "GetDevicePath (USB1.1)\n");
    found = GetDevicePathPart(path, kSearchUsbDevices, seen);
  }
  // A printer found by its ids alone must be the only one with them: of two, the search takes
  // whichever the system lists first, and would write another printer than the one meant.
  const bool chosenByIds =
      library.param.szUsbDevicePath[0] == '\0' && library.szHeldUsbPath[0] == '\0';
  if (found != 0 && chosenByIds) {
    std::vector<std::string> matching = DevicesWithWantedIds();
    if (matching.size() > 1) {
      path[0] = '\0';
      if (seen != nullptr) {
        seen->sameIds = std::move(matching);
      }
      return 0;
    }
  }
  return found;
}

}  // namespace vopp2
