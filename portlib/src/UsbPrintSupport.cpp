// PORT_USB through the system's USB printing support: the printer's device interface, found
// by its vendor and product id, is opened as one file; data goes in chunks of 4096 bytes, and
// the device identification comes from IOCTL_PAR_QUERY_DEVICE_ID on the same handle.
#include <algorithm>
#include <cstdio>
#include <string>

#include "Diagnostics.h"
#include "DriverRead.h"
#include "LibraryState.h"
#include "Transports.h"
#include "UsbDevicePath.h"
#include "UsbPaths.h"
#include "VopP2.h"
#include "platform/FailureReason.h"
#include "platform/Services.h"

namespace vopp2 {

namespace {

constexpr std::uint32_t kWriteChunk = 4096;
// Device instances named in the reason, at most.
constexpr std::size_t kMaxListed = 8;

std::string Listed(const std::vector<std::string>& instances) {
  std::string text;
  for (std::size_t i = 0; i < instances.size() && i < kMaxListed; ++i) {
    text.append(i == 0 ? "" : ", ").append(instances[i]);
  }
  if (instances.size() > kMaxListed) {
    text.append(", and ").append(std::to_string(instances.size() - kMaxListed)).append(" more");
  }
  return text;
}

// Keeps, for the tool to show, which printer was looked for and what the searches found
// instead, unless the system already gave a reason of its own.
void NoteNotFound(const SeenDevices& seen) {
  if (platform::LastFailureReason().kind != platform::FailureKind::kNone) {
    return;
  }
  const VopP2Param& param = Library().param;
  char wanted[96];
  std::snprintf(wanted, sizeof wanted, "The USB printer with vendor id %04x and product id %04x",
                static_cast<unsigned>(param.wUsbVendorId),
                static_cast<unsigned>(param.wUsbProductId));
  std::string detail = seen.printers.empty() ? "No USB printer was found."
                                             : "USB printers found: " + Listed(seen.printers) + ".";
  std::vector<std::string> others;
  for (const std::string& device : seen.devices) {
    if (std::find(seen.printers.begin(), seen.printers.end(), device) == seen.printers.end()) {
      others.push_back(device);
    }
  }
  if (!others.empty()) {
    detail.append(" Other USB devices: ").append(Listed(others)).append(".");
  }
  detail.append(
      " Set \"Vid\" and \"Pid\" in section [System] of the settings file to the printer's ids "
      "('zarnik-cli list' shows them).");
  platform::NoteFailureReason({platform::FailureKind::kNotFound, wanted, detail});
}

// Two or more printers with the ids: none is taken, and the person is told how to choose.
void NoteSameIds(const SeenDevices& seen) {
  const VopP2Param& param = Library().param;
  char ids[64];
  std::snprintf(ids, sizeof ids, "The vendor and product id %04x:%04x",
                static_cast<unsigned>(param.wUsbVendorId),
                static_cast<unsigned>(param.wUsbProductId));
  platform::NoteFailureReason(
      {platform::FailureKind::kAmbiguous, ids,
       "Printers with these ids: " + Listed(seen.sameIds) +
           ". Which one is meant cannot be told, so none is used. Set \"GUID\" in section "
           "[System] of the settings file to the path of the printer meant (each path holds "
           "the printer's serial number, which 'zarnik-cli list' shows beside its node), or "
           "unplug the others."});
}

}  // namespace

std::int32_t OpenUsbPrintSupport() {
  LibraryState& library = Library();
  char path[kDevicePathSize] = {};
  SeenDevices seen;
  if (GetDevicePath(path, &seen) == 0) {
    ReportFailure("VopP2Open:CreateFile(PORT_USB) : GetDevicePath failure\n");
    if (library.szHeldUsbPath[0] != '\0' &&
        platform::LastFailureReason().kind == platform::FailureKind::kNone) {
      platform::NoteFailureReason({platform::FailureKind::kDeviceGone, library.szHeldUsbPath, ""});
    } else if (!seen.sameIds.empty()) {
      NoteSameIds(seen);
    } else {
      NoteNotFound(seen);
    }
    return 0;
  }
  library.hUsb = platform::Current().CreateFile(
      path, platform::kGenericRead | platform::kGenericWrite, 0, platform::kOpenExisting, 0);
  if (library.hUsb == platform::kInvalidHandle) {
    ReportFailure("VopP2Open:CreateFile(PORT_USB) : failure\n");
    return 0;
  }
  if (CallersCall()) {
    std::snprintf(library.szHeldUsbPath, sizeof library.szHeldUsbPath, "%s", path);
  }
  return 1;
}

void CloseUsbPrintSupport() {
  LibraryState& library = Library();
  if (CallersCall()) {
    library.szHeldUsbPath[0] = '\0';
  }
  if (library.hUsb != platform::kInvalidHandle) {
    platform::Current().CloseHandle(library.hUsb);
    library.hUsb = platform::kInvalidHandle;
  }
}

std::int32_t VopP2WriteUsbPrintSupport(const std::uint8_t* lpData, std::uint32_t dwDataLength,
                                       std::uint32_t* lpdwWritten) {
  DebugLine(kLevelModeFunction, "VopP2WriteUsbPrintSupport\n");
  std::uint32_t spare = 0;
  std::uint32_t& written = CountTarget(lpdwWritten, spare);
  written = 0;
  bool openedHere = false;
  if (!EnsureOpen(PORT_USB, Library().hUsb,
                  "VopP2WriteUsbPrintSupport:hHandle[PORT_USB] : INVALID_HANDLE_VALUE\n",
                  openedHere)) {
    return 0;
  }
  platform::Services& os = platform::Current();
  while (written < dwDataLength) {
    const std::uint32_t chunk = std::min(dwDataLength - written, kWriteChunk);
    std::uint32_t taken = 0;
    const bool ok = os.WriteFile(Library().hUsb, lpData + written, chunk, &taken);
    // What the device took counts, also from a write that then failed (a time-out after
    // part of the chunk).
    written += std::min(taken, chunk);
    // A chunk the device took only in part goes on from where it stopped; one that took
    // nothing at all is a failure, not a reason to try forever.
    if (!ok || taken == 0) {
      const OwnCall own;
      VopP2Close(PORT_USB);
      ReportFailure("VopP2Write(USB) : failure\n");
      return 0;
    }
    DebugLine(kLevelTransfer, "WriteFile(USB)= dwDataLength:%08Xh dwWrittenLength:%08Xh\n", chunk,
              taken);
  }
  if (openedHere) {
    const OwnCall own;
    VopP2Close(PORT_USB);
  }
  return 1;
}

std::int32_t VopP2ReadUsbPrintSupport(std::uint8_t* lpBuffer, std::uint32_t dwBufferLength,
                                      std::uint32_t* lpdwRead, std::uint8_t byRequest) {
  DebugLine(kLevelModeFunction, "VopP2ReadUsbPrintSupport\n");
  return ReadThroughDriver(PORT_USB, Library().hUsb, "VopP2ReadUsbPrintSupport", "USB", lpBuffer,
                           dwBufferLength, lpdwRead, byRequest);
}

}  // namespace vopp2
