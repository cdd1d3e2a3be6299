#include "linux/BridgeServedDevices.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <optional>

#include "platform/FailureReason.h"

namespace platform::linux_backend {

namespace {

constexpr std::string_view kIdsVariable = "ZARNIK_USB_BRIDGE_IDS";
constexpr std::size_t kMaxListed = 8;

// One to four hexadecimal digits.
bool HexField(std::string_view text, std::uint16_t& value) {
  if (text.empty() || text.size() > 4) {
    return false;
  }
  unsigned number = 0;
  for (const char c : text) {
    if (std::isxdigit(static_cast<unsigned char>(c)) == 0) {
      return false;
    }
    const unsigned digit = std::isdigit(static_cast<unsigned char>(c)) != 0
                               ? static_cast<unsigned>(c - '0')
                               : static_cast<unsigned>(std::tolower(c) - 'a' + 10);
    number = number * 16 + digit;
  }
  value = static_cast<std::uint16_t>(number);
  return true;
}

std::string Text(const UsbIds& ids) {
  char text[16];
  std::snprintf(text, sizeof text, "%04x:%04x", static_cast<unsigned>(ids.vendorId),
                static_cast<unsigned>(ids.productId));
  return text;
}

std::string Joined(const std::vector<std::string>& items) {
  std::string text;
  for (std::size_t i = 0; i < items.size() && i < kMaxListed; ++i) {
    text.append(i == 0 ? "" : ", ").append(items[i]);
  }
  if (items.size() > kMaxListed) {
    text.append(" and ").append(std::to_string(items.size() - kMaxListed)).append(" more");
  }
  return text;
}

std::vector<std::string> ConfigFiles() {
  std::vector<std::string> files;
  const char* config = std::getenv("XDG_CONFIG_HOME");
  const char* home = std::getenv("HOME");
  // A relative XDG_CONFIG_HOME is ignored, as the settings file's folder ignores it.
  if (config != nullptr && *config == '/') {
    files.push_back(std::string(config) + "/zarnik/usb-bridge.conf");
  } else if (home != nullptr && *home != '\0') {
    files.push_back(std::string(home) + "/.config/zarnik/usb-bridge.conf");
  }
  files.emplace_back("/etc/zarnik/usb-bridge.conf");
  return files;
}

// The text of a regular file. Anything else at the path (a FIFO, a device) is passed over like
// a missing file, without waiting for a writer.
std::optional<std::string> RegularFileText(const std::string& path) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
  if (fd < 0) {
    return std::nullopt;
  }
  std::optional<std::string> text;
  struct stat status {};
  if (::fstat(fd, &status) == 0 && S_ISREG(status.st_mode)) {
    text.emplace();
    char buffer[4096];
    for (;;) {
      const ssize_t got = ::read(fd, buffer, sizeof buffer);
      if (got < 0 && errno == EINTR) {
        continue;
      }
      if (got <= 0) {
        break;
      }
      text->append(buffer, static_cast<std::size_t>(got));
    }
  }
  ::close(fd);
  return text;
}

}  // namespace

void ParseUsbIds(std::string_view text, std::string_view origin, AddedUsbIds& added) {
  std::size_t at = 0;
  while (at < text.size()) {
    const char c = text[at];
    if (c == '#') {
      const std::size_t end = text.find('\n', at);
      at = end == std::string_view::npos ? text.size() : end;
      continue;
    }
    if (c == ',' || std::isspace(static_cast<unsigned char>(c)) != 0) {
      ++at;
      continue;
    }
    std::size_t end = at;
    while (end < text.size() && text[end] != ',' && text[end] != '#' &&
           std::isspace(static_cast<unsigned char>(text[end])) == 0) {
      ++end;
    }
    const std::string_view entry = text.substr(at, end - at);
    const std::size_t colon = entry.find(':');
    UsbIds ids;
    if (colon != std::string_view::npos && HexField(entry.substr(0, colon), ids.vendorId) &&
        HexField(entry.substr(colon + 1), ids.productId)) {
      added.ids.push_back(ids);
    } else {
      added.notUnderstood.push_back("'" + std::string(entry) + "' (" + std::string(origin) + ")");
    }
    at = end;
  }
}

AddedUsbIds AddedBridgeIds() {
  AddedUsbIds added;
  if (const char* ids = std::getenv(std::string(kIdsVariable).c_str()); ids != nullptr) {
    ParseUsbIds(ids, kIdsVariable, added);
  }
  for (const std::string& file : ConfigFiles()) {
    if (const std::optional<std::string> text = RegularFileText(file)) {
      ParseUsbIds(*text, file, added);
    }
  }
  return added;
}

std::vector<UsbDeviceInfo> BridgeServedDevices() {
  const AddedUsbIds added = AddedBridgeIds();
  std::vector<UsbDeviceInfo> devices = ListUsbDevices();
  std::erase_if(devices, [&](const UsbDeviceInfo& device) {
    const UsbIds ids{device.vendorId, device.productId};
    return device.printerInterface < 0 &&
           std::find(added.ids.begin(), added.ids.end(), ids) == added.ids.end();
  });
  return devices;
}

void NoteNoBridgeDevice() {
  const AddedUsbIds added = AddedBridgeIds();
  std::vector<std::string> addedText;
  for (const UsbIds& ids : added.ids) {
    addedText.push_back(Text(ids));
  }
  std::vector<std::string> present;
  for (const UsbDeviceInfo& device : ListUsbDevices()) {
    present.push_back(Text({device.vendorId, device.productId}));
  }
  std::string detail =
      "The USB bridge serves the USB devices with a printer interface, and devices added by "
      "vendor:product id in ZARNIK_USB_BRIDGE_IDS or usb-bridge.conf (~/.config/zarnik/ or "
      "/etc/zarnik/); ";
  detail.append(addedText.empty() ? "none is added." : "added: " + Joined(addedText) + ".");
  if (!added.notUnderstood.empty()) {
    detail.append(" Not understood: ").append(Joined(added.notUnderstood)).append(".");
  }
  detail.append(present.empty() ? " No USB device is present."
                                : " USB devices present: " + Joined(present) + ".");
  NoteFailureReason({FailureKind::kNotFound, "The USB printer for the bridge", detail});
}

}  // namespace platform::linux_backend
