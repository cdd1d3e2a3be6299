// PORT_COM: the serial port "\\.\COMn", set up from the parameter block when it opens.
#include <algorithm>
#include <cstdio>

#include "Diagnostics.h"
#include "LibraryState.h"
#include "Transports.h"
#include "VopP2.h"
#include "platform/Services.h"

namespace vopp2 {

namespace {

// Time-outs set at every open, so that no read or write waits without end:
// - a read returns when the buffer is full, when 50 ms pass after a byte without another
//   (the end of a reply), or 1.5 s after it began, possibly with 0 bytes on a silent line;
// - a write may take 2 ms per byte plus 10 s (the parallel port's stall limit) before it
//   returns short; the write loop then fails instead of losing the rest.
constexpr platform::CommTimeouts kLineTimeouts{
    .ReadIntervalTimeout = 50,
    .ReadTotalTimeoutMultiplier = 0,
    .ReadTotalTimeoutConstant = 1500,
    .WriteTotalTimeoutMultiplier = 2,
    .WriteTotalTimeoutConstant = 10000,
};

// The members of the device control block the parameter block sets; the others keep what
// the system reported.
void ApplyLineSettings(const VopP2Param& param, platform::CommState& dcb) {
  dcb.BaudRate = param.dwComBaudRate;
  dcb.ByteSize = param.byComByteSize;
  dcb.Parity = param.byComParity;
  dcb.StopBits = param.byComStopBits;
  dcb.fBinary = param.fComBinary != 0 ? 1 : 0;
  dcb.fParity = param.fComParity != 0 ? 1 : 0;
  dcb.fOutxCtsFlow = param.fComOutxCtsFlow != 0 ? 1 : 0;
  dcb.fOutxDsrFlow = param.fComOutxDsrFlow != 0 ? 1 : 0;
  dcb.fDtrControl = param.dwComDtrControl & 0x3U;
  dcb.fRtsControl = param.dwComRtsControl & 0x3U;
  dcb.fOutX = param.fComOutX != 0 ? 1 : 0;
  dcb.fInX = param.fComInX != 0 ? 1 : 0;
  dcb.XonChar = static_cast<char>(param.byComXonChar);
  dcb.XoffChar = static_cast<char>(param.byComXoffChar);
  dcb.XonLim = param.wComXonLim;
  dcb.XoffLim = param.wComXoffLim;
}

// Fails the open: closes the port and reports the text.
std::int32_t OpenFailed(const char* text) {
  VopP2Close(PORT_COM);
  ReportFailure("%s", text);
  return 0;
}

// Sends one chunk completely, adding every byte the line takes to written, also when the
// chunk then fails. A write that returns short (its time-out passed) is followed by one for
// the rest; one that sends nothing means the line is stalled, and fails.
bool WriteChunk(platform::Handle line, const std::uint8_t* chunk, std::uint32_t length,
                std::uint32_t& written) {
  platform::Services& os = platform::Current();
  std::uint32_t sent = 0;
  do {
    std::uint32_t taken = 0;
    const std::uint32_t asked = length - sent;
    const bool ok = os.WriteFile(line, chunk + sent, asked, &taken);
    taken = std::min(taken, asked);
    sent += taken;
    written += taken;
    if (!ok) {
      return false;
    }
    DebugLine(kLevelTransfer, "WriteFile(COM)= dwDataLength:%08Xh dwWrittenLength:%08Xh\n", asked,
              taken);
    if (asked > 0 && taken == 0) {
      return false;
    }
  } while (sent < length);
  return true;
}

}  // namespace

std::int32_t VopP2OpenCom() {
  DebugLine(kLevelPortFunction, "VopP2OpenCom\n");
  LibraryState& library = Library();
  // Already open: the port is held exclusively, so a second open could only fail and lose
  // the handle; succeed at once as the other ports do.
  if (library.hCom != platform::kInvalidHandle) {
    return 1;
  }
  const VopP2Param& param = library.param;
  char name[32];
  std::snprintf(name, sizeof name, R"(\\.\COM%d)", static_cast<int>(param.dwComNumber));
  platform::Services& os = platform::Current();
  library.hCom = os.CreateFile(name, platform::kGenericRead | platform::kGenericWrite, 0,
                               platform::kOpenExisting, platform::kFileAttributeNormal);
  if (library.hCom == platform::kInvalidHandle) {
    ReportFailure("VopP2Open:CreateFile(PORT_COM) : failure (%08Xh)\n", os.GetLastError());
    return 0;
  }
  if (!os.SetCommMask(library.hCom, 0)) {
    return OpenFailed("VopP2Open:SetCommMask(PORT_COM) : failure\n");
  }
  if (!os.SetupComm(library.hCom, param.dwComInQueue, param.dwComOutQueue)) {
    return OpenFailed("VopP2Open:SetupComm(PORT_COM) : failure\n");
  }
  platform::CommState dcb;
  os.GetCommState(library.hCom, &dcb);  // on failure the defaults of the record stand
  ApplyLineSettings(param, dcb);
  if (!os.SetCommState(library.hCom, dcb)) {
    return OpenFailed("VopP2Open:SetCommState(PORT_COM) : failure\n");
  }
  if (!os.SetCommTimeouts(library.hCom, kLineTimeouts)) {
    return OpenFailed("VopP2Open:SetCommTimeouts(PORT_COM) : failure\n");
  }
  return 1;
}

std::int32_t VopP2CloseCom() {
  DebugLine(kLevelPortFunction, "VopP2CloseCom\n");
  LibraryState& library = Library();
  if (library.hCom != platform::kInvalidHandle) {
    platform::Current().CloseHandle(library.hCom);
    library.hCom = platform::kInvalidHandle;
  }
  return 1;
}

std::int32_t VopP2WriteCom(const std::uint8_t* lpData, std::uint32_t dwDataLength,
                           std::uint32_t* lpdwWritten) {
  DebugLine(kLevelPortFunction, "VopP2WriteCom\n");
  LibraryState& library = Library();
  std::uint32_t spare = 0;
  std::uint32_t& written = CountTarget(lpdwWritten, spare);
  written = 0;
  bool openedHere = false;
  if (library.hCom == platform::kInvalidHandle) {
    if (VopP2Open(PORT_COM) == 0) {
      return 0;
    }
    openedHere = true;
    if (library.hCom == platform::kInvalidHandle) {
      ReportFailure("VopP2WriteCom:hHandle[PORT_COM] : INVALID_HANDLE_VALUE\n");
      return 0;
    }
  }
  // Chunks of the output queue size; a queue size of 0 sends the rest in one chunk.
  const std::uint32_t chunkLimit = library.param.dwComOutQueue;
  const std::uint8_t* next = lpData;
  std::uint32_t remaining = dwDataLength;
  for (;;) {
    const std::uint32_t chunk =
        (chunkLimit == 0 || remaining < chunkLimit) ? remaining : chunkLimit;
    if (!WriteChunk(library.hCom, next, chunk, written)) {
      VopP2Close(PORT_COM);
      ReportFailure("VopP2Write(COMx) : failure\n");
      return 0;
    }
    if (chunk == remaining) {
      break;
    }
    next += chunk;
    remaining -= chunk;
  }
  if (openedHere) {
    VopP2Close(PORT_COM);
  }
  return 1;
}

std::int32_t VopP2ReadCom(std::uint8_t* lpBuffer, std::uint32_t dwBufferLength,
                          std::uint32_t* lpdwRead) {
  DebugLine(kLevelPortFunction, "VopP2ReadCom\n");
  LibraryState& library = Library();
  std::uint32_t spare = 0;
  std::uint32_t& read = CountTarget(lpdwRead, spare);
  bool openedHere = false;
  if (library.hCom == platform::kInvalidHandle) {
    if (VopP2Open(PORT_COM) == 0) {
      read = 0;
      return 0;
    }
    openedHere = true;
    if (library.hCom == platform::kInvalidHandle) {
      ReportFailure("VopP2ReadCom:hHandle[PORT_COM] : INVALID_HANDLE_VALUE\n");
      return 0;
    }
  }
  read = 0;
  if (!platform::Current().ReadFile(library.hCom, lpBuffer, dwBufferLength, &read)) {
    VopP2Close(PORT_COM);
    ReportFailure("VopP2ReadCom(COMx) : failure\n");
    return 0;
  }
  DebugLine(kLevelTransfer, "ReadFile(COM)= dwDataLength:%08Xh dwReadLength:%08Xh\n",
            dwBufferLength, read);
  if (openedHere) {
    VopP2Close(PORT_COM);
  }
  return 1;
}

}  // namespace vopp2
