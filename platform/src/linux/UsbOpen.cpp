#include "linux/UsbOpen.h"

#include <string_view>
#include <vector>

#include "linux/BridgeFiles.h"
#include "linux/ErrorCodes.h"
#include "linux/UsbDeviceTree.h"
#include "linux/UsbPrinterLibusb.h"
#include "linux/UsbPrinterNode.h"
#include "platform/FailureReason.h"

namespace platform::linux_backend {

namespace {

constexpr std::string_view kSharedPathAdvice =
    "Their ids are the same, and their serial numbers read the same in a path (identical, or "
    "differing only in letter case or in characters a path cannot hold). Set \"GUID\" in "
    "section [System] of the settings file to the printer's node (/dev/usb/lp0, /dev/usb/lp1, "
    "...) to choose one, or unplug the other device.";

std::unique_ptr<DeviceLink> OpenInterface(const std::string& path) {
  if (IsBridgePath(path)) {
    return OpenBridgeFile(path);
  }
  std::vector<UsbDeviceInfo> named = ListUsbDevices();
  std::erase_if(named, [&path](const UsbDeviceInfo& device) {
    return !SameTextNoCase(path, InterfacePath(device, UsbClass::kPrintingSupport)) &&
           !SameTextNoCase(path, InterfacePath(device, UsbClass::kUsbDevice));
  });
  // Serial numbers that read the same in a path give two devices one path; either could be
  // the printer meant, so neither is taken.
  if (named.size() > 1) {
    SetLastErrorCode(kErrorNotSupported);
    NoteFailureReason({FailureKind::kAmbiguous, path, std::string(kSharedPathAdvice)});
    return nullptr;
  }
  for (const UsbDeviceInfo& device : named) {
    if (!device.printerNode.empty()) {
      return OpenUsbPrinterNode(device.printerNode);
    }
    if (device.printerInterface >= 0) {
      return OpenUsbPrinterThroughLibusb(device);
    }
    SetLastErrorCode(kErrorNotSupported);
    NoteFailureReason({FailureKind::kAccessMethod, DeviceInstance(device),
                       "This USB device has no printer interface."});
    return nullptr;
  }
  // Found by the search a moment ago, gone now.
  SetLastErrorCode(kErrorFileNotFound);
  NoteFailureReason({FailureKind::kDeviceGone, path, ""});
  return nullptr;
}

}  // namespace

Handle OpenUsbDevice(const ResolvedPath& target, HandleTable& handles) {
  std::unique_ptr<DeviceLink> link = target.kind == ResolvedPath::Kind::kUsbPrinterNode
                                         ? OpenUsbPrinterNode(target.path)
                                         : OpenInterface(target.path);
  if (link == nullptr) {
    return kInvalidHandle;
  }
  auto file = std::make_shared<OpenFile>(-1, false, false);
  file->device = link->Name();
  file->link = std::move(link);
  const Handle handle = handles.Add(std::move(file));
  SetLastErrorCode(kErrorSuccess);
  return handle;
}

}  // namespace platform::linux_backend
