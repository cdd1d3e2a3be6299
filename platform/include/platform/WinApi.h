// Types and constants of the operating-system services that the port library and the USB
// bridge are written against. Values are those of the 32-bit Windows API, so code above this
// layer reads the same on every platform and a later Windows backend passes them straight on.
#pragma once

#include <cstdint>

namespace platform {

// An opened file, device, pipe or serial line. Opaque above this layer: the backend that
// opened it owns what it stands for.
using Handle = std::intptr_t;
inline constexpr Handle kInvalidHandle = -1;

// A loaded module (shared library). Null when none.
using ModuleHandle = void*;

// An open registry key. Null when none.
using RegistryKey = std::intptr_t;
inline constexpr RegistryKey kNoKey = 0;
inline constexpr RegistryKey kHkeyLocalMachine = static_cast<RegistryKey>(0x80000002);

// A device information set of the device-interface enumeration. Invalid is -1.
using DeviceInfoSet = std::intptr_t;
inline constexpr DeviceInfoSet kInvalidDeviceInfoSet = -1;

// CreateFile access, sharing, disposition and attributes.
inline constexpr std::uint32_t kGenericRead = 0x80000000U;
inline constexpr std::uint32_t kGenericWrite = 0x40000000U;
inline constexpr std::uint32_t kFileShareRead = 0x1;
inline constexpr std::uint32_t kFileShareWrite = 0x2;
inline constexpr std::uint32_t kCreateNew = 1;
inline constexpr std::uint32_t kCreateAlways = 2;
inline constexpr std::uint32_t kOpenExisting = 3;
inline constexpr std::uint32_t kOpenAlways = 4;
inline constexpr std::uint32_t kTruncateExisting = 5;
inline constexpr std::uint32_t kFileAttributeNormal = 0x80;

// File pointer origins.
inline constexpr std::uint32_t kFileBegin = 0;
inline constexpr std::uint32_t kFileCurrent = 1;
inline constexpr std::uint32_t kFileEnd = 2;

// "Last error" values the layers above look at or report.
inline constexpr std::uint32_t kErrorSuccess = 0;
inline constexpr std::uint32_t kErrorInvalidFunction = 1;
inline constexpr std::uint32_t kErrorFileNotFound = 2;
inline constexpr std::uint32_t kErrorPathNotFound = 3;
inline constexpr std::uint32_t kErrorAccessDenied = 5;
inline constexpr std::uint32_t kErrorInvalidHandle = 6;
inline constexpr std::uint32_t kErrorNotEnoughMemory = 8;
inline constexpr std::uint32_t kErrorGenFailure = 31;
inline constexpr std::uint32_t kErrorSharingViolation = 32;
inline constexpr std::uint32_t kErrorNotSupported = 50;
inline constexpr std::uint32_t kErrorFileExists = 80;
inline constexpr std::uint32_t kErrorInvalidParameter = 87;
inline constexpr std::uint32_t kErrorDiskFull = 112;
inline constexpr std::uint32_t kErrorSemTimeout = 121;
inline constexpr std::uint32_t kErrorInsufficientBuffer = 122;
inline constexpr std::uint32_t kErrorModNotFound = 126;
inline constexpr std::uint32_t kErrorProcNotFound = 127;
inline constexpr std::uint32_t kErrorAlreadyExists = 183;
inline constexpr std::uint32_t kErrorFilenameExcedRange = 206;
inline constexpr std::uint32_t kErrorMoreData = 234;
inline constexpr std::uint32_t kErrorNoMoreItems = 259;
inline constexpr std::uint32_t kErrorNoAccess = 998;
inline constexpr std::uint32_t kErrorIoDevice = 1117;
inline constexpr std::uint32_t kErrorDeviceNotConnected = 1167;
inline constexpr std::uint32_t kErrorInvalidUserBuffer = 1784;

// Version record as GetVersionExA fills it (148 bytes with its size field).
struct OsVersionInfo {
  std::uint32_t dwOSVersionInfoSize = 148;
  std::uint32_t dwMajorVersion = 0;
  std::uint32_t dwMinorVersion = 0;
  std::uint32_t dwBuildNumber = 0;
  std::uint32_t dwPlatformId = 0;
  char szCSDVersion[128] = {};
};
static_assert(sizeof(OsVersionInfo) == 148);

inline constexpr std::uint32_t kVerPlatformWin32s = 0;
inline constexpr std::uint32_t kVerPlatformWin32Windows = 1;
inline constexpr std::uint32_t kVerPlatformWin32Nt = 2;

// Serial line settings (the members of the Windows device control block that exist on a
// serial line; the bit fields are plain members here).
struct CommState {
  std::uint32_t BaudRate = 0;
  std::uint32_t fBinary = 0;
  std::uint32_t fParity = 0;
  std::uint32_t fOutxCtsFlow = 0;
  std::uint32_t fOutxDsrFlow = 0;
  std::uint32_t fDtrControl = 0;  // 0 disable, 1 enable, 2 handshake
  std::uint32_t fDsrSensitivity = 0;
  std::uint32_t fTXContinueOnXoff = 0;
  std::uint32_t fOutX = 0;
  std::uint32_t fInX = 0;
  std::uint32_t fErrorChar = 0;
  std::uint32_t fNull = 0;
  std::uint32_t fRtsControl = 0;  // 0 disable, 1 enable, 2 handshake, 3 toggle
  std::uint32_t fAbortOnError = 0;
  std::uint16_t XonLim = 0;
  std::uint16_t XoffLim = 0;
  std::uint8_t ByteSize = 8;
  std::uint8_t Parity = 0;    // 0 none, 1 odd, 2 even, 3 mark, 4 space
  std::uint8_t StopBits = 0;  // 0 one, 1 one and a half, 2 two
  char XonChar = 0;
  char XoffChar = 0;
  char ErrorChar = 0;
  char EofChar = 0;
  char EvtChar = 0;
};

inline constexpr std::uint32_t kDtrControlDisable = 0;
inline constexpr std::uint32_t kDtrControlEnable = 1;
inline constexpr std::uint32_t kDtrControlHandshake = 2;
inline constexpr std::uint32_t kRtsControlDisable = 0;
inline constexpr std::uint32_t kRtsControlEnable = 1;
inline constexpr std::uint32_t kRtsControlHandshake = 2;
inline constexpr std::uint32_t kRtsControlToggle = 3;

// Serial time-outs in milliseconds, with the Windows meaning of each member. kMaxDword in
// ReadIntervalTimeout with both read totals 0 means "return at once with what is there".
inline constexpr std::uint32_t kMaxDword = 0xFFFFFFFFU;
struct CommTimeouts {
  std::uint32_t ReadIntervalTimeout = 0;
  std::uint32_t ReadTotalTimeoutMultiplier = 0;
  std::uint32_t ReadTotalTimeoutConstant = 0;
  std::uint32_t WriteTotalTimeoutMultiplier = 0;
  std::uint32_t WriteTotalTimeoutConstant = 0;
};

// Device I/O control codes used on parallel and USB printer devices.
inline constexpr std::uint32_t kIoctlParQueryDeviceId = 0x16000C;

// Registry.
inline constexpr std::int32_t kRegSuccess = 0;
inline constexpr std::uint32_t kKeyRead = 0x20019;
inline constexpr std::uint32_t kRegSz = 1;
inline constexpr std::uint32_t kRegMultiSz = 7;

// Device-interface enumeration.
struct Guid {
  std::uint32_t Data1 = 0;
  std::uint16_t Data2 = 0;
  std::uint16_t Data3 = 0;
  std::uint8_t Data4[8] = {};
  friend bool operator==(const Guid&, const Guid&) = default;
};

// The interface classes of the USB device search: the USB printing support's printer
// interfaces, and every USB device.
inline constexpr Guid kGuidUsbPrintingSupport{
    0x28D78FAD, 0x5A12, 0x11D1, {0xAE, 0x5B, 0x00, 0x00, 0xF8, 0x03, 0xA8, 0xC2}};
inline constexpr Guid kGuidUsbDevice{
    0xA5DCBF10, 0x6530, 0x11D2, {0x90, 0x1F, 0x00, 0xC0, 0x4F, 0xB9, 0x51, 0xED}};

inline constexpr std::uint32_t kDigcfPresent = 0x2;
inline constexpr std::uint32_t kDigcfDeviceInterface = 0x10;

struct DeviceInterfaceData {
  std::uint32_t cbSize = 0;
  Guid InterfaceClassGuid;
  std::uint32_t Flags = 0;
  std::uintptr_t Reserved = 0;  // member index inside the set
};

// The interface detail record is a 4-byte size field followed by the device path text, as
// the 32-bit record is laid out; callers set the size field to 5 before asking for it.
inline constexpr std::uint32_t kDeviceInterfaceDetailHeaderSize = 4;

}  // namespace platform
