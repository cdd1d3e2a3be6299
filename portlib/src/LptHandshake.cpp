// The port reset of "&Init Port", and the IEEE 1284 negotiation and termination the
// exports and the ECP transfers use. The port must allow direct register access (OS kinds 1
// to 3); the exports check that.
#include "LptHandshake.h"

#include "Diagnostics.h"
#include "LibraryState.h"
#include "LptLines.h"
#include "LptRegisters.h"
#include "Transports.h"
#include "platform/Services.h"

namespace vopp2 {
namespace {

constexpr std::uint32_t kInitPulseMs = 200;

}  // namespace

std::int32_t HandshakeFailure(const char* text) {
  ReportFailure("%s", text);
  return 0;
}

void HandBack(Stranded where, std::uint32_t limit) {
  try {
    if (where == Stranded::kUnacknowledged) {
      SetLptControlLines(kNAutoFd, kNSelectIn);
    } else {
      TerminationEvents(0, limit);
    }
  } catch (const PortAccessFailure&) {
    // Best effort only: the operation has failed already and says why.
  }
}

std::int32_t EcpHandshakeFailure(const char* text, Stranded where) {
  ReportFailure("%s", text);
  LibraryState& library = Library();
  library.dwEcpState = 0;  // whatever happens here, the next ECP transfer negotiates afresh
  try {
    SetLptControlLines(0, kDataInput);
    SetLptControlLines(kNInit, 0);  // before nSelectIn goes low, which would be a reset
    HandBack(where, library.param.dwECPTerminationDelay);
    WriteRegister(kEcr, kEcrStandard);
  } catch (const PortAccessFailure&) {
    // Best effort only, as above.
  }
  return 0;
}

bool RequestMode(std::uint8_t request, std::uint32_t limit) {
  WriteRegister(kDataRegister, request);                                 // event 0
  SetLptControlLines(kNSelectIn, kNAutoFd);                              // event 1
  if (!WaitLptStatusLines(kPError | kSelect | kNFault, kNAck, limit)) {  // event 2
    return false;
  }
  SetLptControlLines(0, kNStrobe);             // event 3
  SetLptControlLines(kNStrobe | kNAutoFd, 0);  // event 4
  return true;
}

int TerminationEvents(std::uint8_t alsoLowAt24, std::uint32_t limit) {
  SetLptControlLines(kNAutoFd, kNSelectIn);  // event 22
  if (!WaitLptStatusLines(kBusy | kNFault, 0, limit)) {
    return 23;
  }
  if (!WaitLptStatusLines(0, static_cast<std::uint8_t>(kNAck | alsoLowAt24), limit)) {
    return 24;
  }
  SetLptControlLines(0, kNAutoFd);  // event 25
  if (!WaitLptStatusLines(kNAck, 0, limit)) {
    return 27;
  }
  SetLptControlLines(kNAutoFd, 0);  // event 28
  return 0;
}

std::int32_t InitLPTPort() {
  DebugLine(kLevelModeFunction, "InitLPTPort\n");
  Library().dwEcpState = 0;
  return OnPort("InitLPTPort", [] {
    platform::Services& os = platform::Current();
    WriteRegister(kEcr, kEcrStandard);
    SetLptControlLines(0, kNSelectIn);
    SetLptControlLines(0, kNInit);  // the peripheral is reset
    os.Sleep(kInitPulseMs);
    SetLptControlLines(kNStrobe | kNAutoFd, 0);
    os.Sleep(kInitPulseMs);
    SetLptControlLines(kNInit, 0);
    // Through ECP mode and back: the mode change empties the FIFO.
    WriteRegister(kEcr, kEcrEcp);
    Library().dwEcpState = 0;
    ReadRegister(kEcr);
    WriteRegister(kEcr, kEcrStandard);
    return 1;
  });
}

std::int32_t ECPNegotiateLPTWithVopP2(std::uint8_t byRequest, std::uint8_t byEcr1,
                                      std::uint8_t byEcr2) {
  DebugLine(kLevelModeFunction, "ECPNegotiateLPTWithVopP2\n");
  return OnPort("ECPNegotiateLPTWithVopP2", [=] {
    LibraryState& library = Library();
    const std::uint32_t limit = library.param.dwECPNegotiationDelay;
    library.dwEcpState = 0;
    SetLptControlLines(kNStrobe | kNAutoFd | kNInit, kNSelectIn);
    WriteRegister(kEcr, byEcr1);
    // A negotiation that fails after event 1 hands the link back to compatibility mode.
    if (!RequestMode(byRequest, limit)) {
      return EcpHandshakeFailure("ECPNegotiateLPTWithVopP2 : failure(Ev2)\n",
                                 Stranded::kUnacknowledged);
    }
    if (!WaitLptStatusLines(0, kBusy | kPError, limit)) {
      return EcpHandshakeFailure("ECPNegotiateLPTWithVopP2 : failure(Ev5)\n",
                                 Stranded::kNegotiated);
    }
    if (!WaitLptStatusLines(kNAck, 0, limit)) {
      return EcpHandshakeFailure("ECPNegotiateLPTWithVopP2 : failure(Ev6)\n",
                                 Stranded::kNegotiated);
    }
    SetLptControlLines(0, kNAutoFd);  // event 30
    if (!WaitLptStatusLines(kPError, 0, limit)) {
      return EcpHandshakeFailure("ECPNegotiateLPTWithVopP2 : failure(Ev31)\n",
                                 Stranded::kNegotiated);
    }
    WriteRegister(kEcr, byEcr2);
    library.dwEcpState = 1;
    return 1;
  });
}

std::int32_t ECPTerminateLPTWithVopP2() {
  DebugLine(kLevelModeFunction, "ECPTerminateLPTWithVopP2\n");
  return OnPort("ECPTerminateLPTWithVopP2", [] {
    Library().dwEcpState = 0;
    const int failedAt = TerminationEvents(kSelect, Library().param.dwECPTerminationDelay);
    if (failedAt != 0) {
      WriteRegister(kEcr, kEcrStandardUnmasked);
      ReportFailure("ECPTerminateLPTWithVopP2 : failure(Ev%d)\n", failedAt);
      return 0;
    }
    WriteRegister(kEcr, kEcrStandard);
    return 1;
  });
}

// A transfer in compatibility or nibble mode after the caller negotiated ECP: bytes strobed
// to a printer in ECP mode would not arrive as data while counted as sent, and a nibble
// request is not answered there.
bool LeaveNegotiatedEcp() {
  return Library().dwEcpState == 0 || ECPTerminateLPTWithVopP2() != 0;
}

}  // namespace vopp2
