#include "UsbBridgePath.h"

#include <algorithm>
#include <array>

#include "Diagnostics.h"
#include "LibraryState.h"
#include "Transports.h"
#include "VopP2.h"
#include "platform/Services.h"

namespace vopp2 {

namespace {

// The class request's wLength field holds 16 bits.
constexpr std::uint32_t kMaxControlLength = 0xFFFF;

bool BridgeHeld(const LibraryState& library) {
  return library.bridge.module != nullptr || library.VopUsb_hUsb != -1 ||
         library.hUsbRead != platform::kInvalidHandle ||
         library.hUsbWrite != platform::kInvalidHandle;
}

bool BridgeOpen(const LibraryState& library) {
  return library.bridge.module != nullptr && library.VopUsb_hUsb != -1 &&
         library.hUsbRead != platform::kInvalidHandle &&
         library.hUsbWrite != platform::kInvalidHandle;
}

// Clears the entry points and frees the library.
void UnloadBridge() {
  BridgeModule& bridge = Library().bridge;
  const platform::ModuleHandle module = bridge.module;
  bridge = BridgeModule{};
  if (module != nullptr) {
    platform::Current().FreeLibrary(module);
  }
}

// Closes what the bridge path holds: the pipes, the device, the library.
void ReleaseBridge() {
  LibraryState& library = Library();
  platform::Services& os = platform::Current();
  for (platform::Handle* pipe : {&library.hUsbRead, &library.hUsbWrite}) {
    if (*pipe != platform::kInvalidHandle) {
      os.CloseHandle(*pipe);
      *pipe = platform::kInvalidHandle;
    }
  }
  if (library.VopUsb_hUsb != -1) {
    if (library.bridge.VopUsb_Close != nullptr) {
      library.bridge.VopUsb_Close(static_cast<std::int32_t>(library.VopUsb_hUsb));
    }
    library.VopUsb_hUsb = -1;
  }
  UnloadBridge();
}

template <typename Function>
bool LookUp(const char* name, Function& target) {
  target =
      reinterpret_cast<Function>(platform::Current().GetProcAddress(Library().bridge.module, name));
  if (target == nullptr) {
    ReportFailure("OpenVOPUSB:GetProcAddress(%s) : failure\n", name);
    return false;
  }
  return true;
}

bool LookUpEntryPoints() {
  BridgeModule& bridge = Library().bridge;
  return LookUp("VopUsb_Open", bridge.VopUsb_Open) && LookUp("VopUsb_Close", bridge.VopUsb_Close) &&
         LookUp("VopUsb_OpenPipe", bridge.VopUsb_OpenPipe) &&
         LookUp("VopUsb_ResetPipe", bridge.VopUsb_ResetPipe) &&
         LookUp("VopUsb_ClassRequest", bridge.VopUsb_ClassRequest);
}

// The bridge opens the first device it serves, which on a computer with another printer may
// not be the one the settings name. With "Vid" or "Pid" set, a device with other ids is
// refused rather than sent a job meant for the configured printer. Ids left at 0, or a bridge
// without the device descriptor call, are not checked.
bool OpenedTheConfiguredDevice(std::int32_t id) {
  const LibraryState& library = Library();
  const std::uint16_t vendor = library.param.wUsbVendorId;
  const std::uint16_t product = library.param.wUsbProductId;
  if (vendor == 0 && product == 0) {
    return true;
  }
  using GetDeviceDescriptorFn = std::int32_t(VOPUSB_CALL*)(std::int32_t, void*);
  const auto getDeviceDescriptor = reinterpret_cast<GetDeviceDescriptorFn>(
      platform::Current().GetProcAddress(library.bridge.module, "VopUsb_GetDeviceDescriptor"));
  if (getDeviceDescriptor == nullptr) {
    return true;
  }
  std::array<std::uint8_t, 18> descriptor{};
  if (getDeviceDescriptor(id, descriptor.data()) == 0) {
    ReportFailure("OpenVOPUSB:pfnVopUsb_GetDeviceDescriptor : failure\n");
    return false;
  }
  const auto opened = [&](std::size_t at) {
    return static_cast<std::uint16_t>(descriptor[at] | (descriptor[at + 1] << 8U));
  };
  if (opened(8) == vendor && opened(10) == product) {
    return true;
  }
  ReportFailure(
      "OpenVOPUSB: the USB bridge opened vid_%04x&pid_%04x, not the printer set, "
      "vid_%04x&pid_%04x\n",
      static_cast<unsigned>(opened(8)), static_cast<unsigned>(opened(10)),
      static_cast<unsigned>(vendor), static_cast<unsigned>(product));
  return false;
}

// Opens the bridge path for a write or read that finds what it needs closed. openedHere tells
// whether this call opened it (and so closes it again); false when the port cannot be had.
bool EnsureOpen(bool needed, const char* invalidText, bool& openedHere) {
  openedHere = false;
  if (!needed) {
    return true;
  }
  if (VopP2Open(PORT_USB) == 0) {
    return false;
  }
  openedHere = true;
  const LibraryState& library = Library();
  if (library.hUsbRead == platform::kInvalidHandle ||
      library.hUsbWrite == platform::kInvalidHandle || library.VopUsb_hUsb == -1) {
    ReportFailure("%s", invalidText);
    return false;
  }
  return true;
}

// The device identification with its big-endian length (which counts the two length bytes)
// in buffer[0..1]. The bridge does not say how many bytes came, so the count is the length
// the reply gives, bounded by what was asked for; the length bytes are cleared first, so a
// reply without them counts as none.
bool ReadDeviceId(std::uint8_t* buffer, std::uint32_t bufferLength, std::uint32_t& read) {
  const LibraryState& library = Library();
  const std::uint32_t asked = std::min(bufferLength, kMaxControlLength);
  buffer[0] = 0;
  buffer[1] = 0;
  if (library.bridge.VopUsb_ClassRequest == nullptr ||
      library.bridge.VopUsb_ClassRequest(static_cast<std::int32_t>(library.VopUsb_hUsb), 1, 1, 0, 0,
                                         0, asked, buffer) == 0) {
    return false;
  }
  const std::uint32_t length = (std::uint32_t{buffer[0]} << 8) | buffer[1];
  read = std::min(length, asked);
  return true;
}

}  // namespace

std::int32_t OpenVOPUSB() {
  DebugLine(kLevelModeFunction, "OpenVOPUSB\n");
  LibraryState& library = Library();
  if (BridgeOpen(library)) {
    return 1;
  }
  if (BridgeHeld(library)) {
    ReleaseBridge();
  }
  library.bridge.module = platform::Current().LoadLibrary("vopusb");
  if (library.bridge.module == nullptr) {
    ReportFailure("OpenVOPUSB:LoadLibrary : Can NOT load VOPUSB.SYS\n");
    return 0;
  }
  if (!LookUpEntryPoints()) {
    UnloadBridge();
    return 0;
  }
  const std::int32_t id = library.bridge.VopUsb_Open();
  if (id < 0) {
    ReportFailure("OpenVOPUSB:pfnVopUsb_Open : failure\n");
    UnloadBridge();
    return 0;
  }
  library.VopUsb_hUsb = id;
  if (!OpenedTheConfiguredDevice(id)) {
    ReleaseBridge();
    return 0;
  }
  library.hUsbRead = library.bridge.VopUsb_OpenPipe(id, 0, 1);
  if (library.hUsbRead == platform::kInvalidHandle) {
    ReportFailure("OpenVOPUSB:pfnVopUsb_OpenPipe(PIPE1) : failure\n");
    ReleaseBridge();
    return 0;
  }
  library.hUsbWrite = library.bridge.VopUsb_OpenPipe(id, 0, 0);
  if (library.hUsbWrite == platform::kInvalidHandle) {
    ReportFailure("OpenVOPUSB:pfnVopUsb_OpenPipe(PIPE0) : failure\n");
    ReleaseBridge();
    return 0;
  }
  return 1;
}

void CloseVOPUSB() {
  DebugLine(kLevelModeFunction, "CloseVOPUSB\n");
  ReleaseBridge();
}

bool BridgePathHeld() {
  return BridgeHeld(Library());
}

std::int32_t VopP2WriteUsbVOPUSB(const std::uint8_t* lpData, std::uint32_t dwDataLength,
                                 std::uint32_t* lpdwWritten) {
  DebugLine(kLevelModeFunction, "VopP2WriteUsbVOPUSB\n");
  std::uint32_t spare = 0;
  std::uint32_t& written = CountTarget(lpdwWritten, spare);
  written = 0;
  bool openedHere = false;
  if (!EnsureOpen(Library().hUsbWrite == platform::kInvalidHandle,
                  "VopP2WriteUsbVOPUSB:hHandle[PORT_USB_WRITE] : INVALID_HANDLE_VALUE\n",
                  openedHere)) {
    return 0;
  }
  if (!platform::Current().WriteFile(Library().hUsbWrite, lpData, dwDataLength, &written)) {
    VopP2Close(PORT_USB);
    ReportFailure("VopP2Write(USB) : failure\n");
    return 0;
  }
  DebugLine(kLevelTransfer, "WriteFile(USB) = dwDataLength:%08Xh dwWrittenLength:%08Xh\n",
            dwDataLength, written);
  if (openedHere) {
    VopP2Close(PORT_USB);
  }
  return written == dwDataLength ? 1 : 0;
}

std::int32_t VopP2ReadUsbVOPUSB(std::uint8_t* lpBuffer, std::uint32_t dwBufferLength,
                                std::uint32_t* lpdwRead, std::uint8_t byRequest) {
  DebugLine(kLevelModeFunction, "VopP2ReadUsbVOPUSB\n");
  std::uint32_t spare = 0;
  std::uint32_t& read = CountTarget(lpdwRead, spare);
  read = 0;
  const bool deviceId = !OrdinaryReverseData(byRequest);
  // No room for the two length bytes: nothing is asked of the printer.
  if (deviceId && lpBuffer == nullptr) {
    ReportFailure("VopP2ReadUsbVOPUSB : failure (lpBuffer == NULL)\n");
    return 0;
  }
  if (deviceId && dwBufferLength < 2) {
    ReportFailure("VopP2ReadUsbVOPUSB : failure (dwBufferLength < 2)\n");
    return 0;
  }
  const LibraryState& library = Library();
  bool openedHere = false;
  if (!EnsureOpen(
          library.hUsbRead == platform::kInvalidHandle || library.VopUsb_hUsb == -1,
          "VopP2ReadUsbVOPUSB:hHandle[PORT_USB_READ] or VopUsb_hUsb : INVALID_HANDLE_VALUE\n",
          openedHere)) {
    return 0;
  }
  const bool ok =
      deviceId ? ReadDeviceId(lpBuffer, dwBufferLength, read)
               : platform::Current().ReadFile(library.hUsbRead, lpBuffer, dwBufferLength, &read);
  if (!ok) {
    read = 0;
    VopP2Close(PORT_USB);
    ReportFailure("VopP2Read(USB) : failure\n");
    return 0;
  }
  DebugLine(kLevelTransfer, "ReadFile(USB) = dwDataLength:%08Xh dwReadLength:%08Xh\n",
            dwBufferLength, read);
  if (openedHere) {
    VopP2Close(PORT_USB);
  }
  return 1;
}

}  // namespace vopp2
