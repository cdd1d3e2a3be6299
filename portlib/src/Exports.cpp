// The twelve exports: dispatch on the port bits in the fixed order file, parallel, serial,
// USB (the last transport's result is the call's result), the parameter block, the last
// message, the version and the debug level, and the parallel-port handshakes.
#include <utility>

#include "Diagnostics.h"
#include "LibraryState.h"
#include "OsKind.h"
#include "Transports.h"
#include "VopP2.h"
#include "platform/CallGuard.h"

using namespace vopp2;

namespace {

// The export's work, with whatever it throws reported as the export's failure.
template <typename Call>
int32_t Guarded(const char* name, Call&& call) noexcept {
  return platform::FailureOnThrow<int32_t>(0, std::forward<Call>(call), [name](const char* what) {
    ReportFailure("%s: %s\n", name, what);
  });
}

// Calls the transport of each port bit set, in the fixed order file, parallel, serial, USB;
// the last one called gives the result.
template <typename File, typename Lpt, typename Com, typename Usb>
int32_t Dispatch(const char* name, int32_t port, File file, Lpt lpt, Com com, Usb usb) noexcept {
  return Guarded(name, [&] {
    int32_t result = 0;
    if ((port & PORT_FILE) != 0) {
      result = file();
    }
    if ((port & PORT_LPT) != 0) {
      result = lpt();
    }
    if ((port & PORT_COM) != 0) {
      result = com();
    }
    if ((port & PORT_USB) != 0) {
      result = usb();
    }
    return result;
  });
}

bool DirectAccessKind(int kind) {
  return kind >= OS_WIN95 && kind <= OS_WINME;
}

}  // namespace

extern "C" {

VOPP2_API int32_t VOPP2_CALL VopP2Open(int32_t port) {
  DebugLine(kLevelExport, "VopP2Open\n");
  return Dispatch("VopP2Open", port, VopP2OpenFile, VopP2OpenLpt, VopP2OpenCom, VopP2OpenUsb);
}

VOPP2_API int32_t VOPP2_CALL VopP2Close(int32_t port) {
  DebugLine(kLevelExport, "VopP2Close\n");
  return Dispatch("VopP2Close", port, VopP2CloseFile, VopP2CloseLpt, VopP2CloseCom, VopP2CloseUsb);
}

VOPP2_API int32_t VOPP2_CALL VopP2Write(int32_t port, const uint8_t* lpData, uint32_t dwDataLength,
                                        uint32_t* lpdwWritten) {
  DebugLine(kLevelExport, "VopP2Write\n");
  return Dispatch(
      "VopP2Write", port, [&] { return VopP2WriteFile(lpData, dwDataLength, lpdwWritten); },
      [&] { return VopP2WriteLpt(lpData, dwDataLength, lpdwWritten); },
      [&] { return VopP2WriteCom(lpData, dwDataLength, lpdwWritten); },
      [&] { return VopP2WriteUsb(lpData, dwDataLength, lpdwWritten); });
}

VOPP2_API int32_t VOPP2_CALL VopP2Read(int32_t port, uint8_t* lpBuffer, uint32_t dwBufferLength,
                                       uint32_t* lpdwRead, uint32_t byRequest) {
  DebugLine(kLevelExport, "VopP2Read\n");
  const auto request = static_cast<uint8_t>(byRequest & 0xFFU);
  return Dispatch(
      "VopP2Read", port, [&] { return VopP2ReadFile(lpBuffer, dwBufferLength, lpdwRead); },
      [&] { return VopP2ReadLpt(lpBuffer, dwBufferLength, lpdwRead, request); },
      [&] { return VopP2ReadCom(lpBuffer, dwBufferLength, lpdwRead); },
      [&] { return VopP2ReadUsb(lpBuffer, dwBufferLength, lpdwRead, request); });
}

VOPP2_API const char* VOPP2_CALL VopP2GetMessage(void) {
  DebugLine(kLevelExport, "VopP2GetMessage\n");
  return Library().szMessage;
}

VOPP2_API VopP2Param* VOPP2_CALL VopP2GetParamPtr(void) {
  DebugLine(kLevelExport, "VopP2GetParamPtr\n");
  return &Library().param;
}

VOPP2_API int32_t VOPP2_CALL VopP2GetVersion(void) {
  DebugLine(kLevelExport, "VopP2GetVersion\n");
  return VOPP2_INTERFACE_VERSION;
}

VOPP2_API void VOPP2_CALL VopP2SetDebugLevel(int32_t level) {
  Library().nDebugLevel = level;
  const int kind = GetKindOfOS();
  DebugLine(kLevelExport, "VopP2SetDebugLevel = %d, OS# = %d, OSNAME = %s\n", level, kind,
            KindName(kind));
}

VOPP2_API int32_t VOPP2_CALL VopP2GetDebugLevel(void) {
  const int32_t level = Library().nDebugLevel;
  DebugLine(kLevelExport, "VopP2GetDebugLevel = %d\n", level);
  return level;
}

VOPP2_API int32_t VOPP2_CALL VopP2InitLPTPort(void) {
  DebugLine(kLevelExport, "InitLPTPort\n");
  return Guarded("VopP2InitLPTPort", [&] {
    if (DirectAccessKind(GetKindOfOS())) {
      return InitLPTPort();
    }
    Library().dwEcpState = 0;
    return 0;
  });
}

VOPP2_API int32_t VOPP2_CALL VopP2ECPNegotiation(uint32_t byRequest, uint32_t byEcr1,
                                                 uint32_t byEcr2) {
  DebugLine(kLevelExport, "VopP2ECPNegotiation\n");
  return Guarded("VopP2ECPNegotiation", [&] {
    if (!DirectAccessKind(GetKindOfOS())) {
      return 0;
    }
    return ECPNegotiateLPTWithVopP2(static_cast<uint8_t>(byRequest & 0xFFU),
                                    static_cast<uint8_t>(byEcr1 & 0xFFU),
                                    static_cast<uint8_t>(byEcr2 & 0xFFU));
  });
}

VOPP2_API int32_t VOPP2_CALL VopP2ECPTermination(void) {
  DebugLine(kLevelExport, "VopP2ECPTermination\n");
  return Guarded("VopP2ECPTermination", [&] {
    if (!DirectAccessKind(GetKindOfOS())) {
      return 0;
    }
    return ECPTerminateLPTWithVopP2();
  });
}

}  // extern "C"
