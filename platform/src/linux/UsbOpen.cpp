#include "linux/UsbOpen.h"

#include "linux/BridgeFiles.h"
#include "linux/ErrorCodes.h"
#include "linux/UsbDeviceTree.h"
#include "linux/UsbPrinterLibusb.h"
#include "linux/UsbPrinterNode.h"
#include "platform/FailureReason.h"

namespace platform::linux_backend {

namespace {

std::unique_ptr<DeviceLink> OpenInterface(const std::string& path) {
  if (IsBridgePath(path)) {
    return OpenBridgeFile(path);
  }
  for (const UsbDeviceInfo& device : ListUsbDevices()) {
    const bool named = SameTextNoCase(path, InterfacePath(device, UsbClass::kPrintingSupport)) ||
                       SameTextNoCase(path, InterfacePath(device, UsbClass::kUsbDevice));
    if (!named) {
      continue;
    }
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
