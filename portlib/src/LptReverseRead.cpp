// The two reverse-channel reads of direct register access: nibble mode (GetRevData) and a
// software-clocked ECP reverse transfer (ECPGetRevData). Both store at most the caller's
// buffer length; bytes the peripheral offers beyond it are not clocked out and stay with it.
#include "Diagnostics.h"
#include "LibraryState.h"
#include "LptDirect.h"
#include "LptHandshake.h"
#include "LptLines.h"
#include "LptRegisters.h"
#include "Transports.h"

namespace vopp2 {
namespace {

// The mode bit of the extensibility request: set, the peripheral goes to ECP mode.
constexpr std::uint8_t kEcpModeBit = 0x10;

// One nibble, one status read per bit: nFault, Select, PError, Busy as line levels.
std::uint8_t ReadNibble() {
  constexpr std::uint8_t kLines[] = {kNFault, kSelect, kPError, kBusy};
  std::uint8_t nibble = 0;
  for (unsigned bit = 0; bit < 4; ++bit) {
    if (TestLptStatusLines(kLines[bit], 0)) {
      nibble = static_cast<std::uint8_t>(nibble | (1U << bit));
    }
  }
  return nibble;
}

// The peripheral puts a nibble out: nAutoFd low (event 7), nAck low (event 9), the nibble
// read. Returns the failed event's text, or null.
const char* NibbleOut(std::uint32_t limit, std::uint8_t& nibble) {
  SetLptControlLines(0, kNAutoFd);
  if (!WaitLptStatusLines(0, kNAck, limit)) {
    return "GetRevData : failure(Ev9)\n";
  }
  nibble = ReadNibble();
  return nullptr;
}

// The host has the nibble: nAutoFd high (event 10), nAck high (event 11).
const char* NibbleTaken(std::uint32_t limit) {
  SetLptControlLines(kNAutoFd, 0);
  if (!WaitLptStatusLines(kNAck, 0, limit)) {
    return "GetRevData : failure(Ev11)\n";
  }
  return nullptr;
}

// The peripheral says it has no more data by raising nFault; watched for limit + 1 tests.
bool EndOfData(std::uint32_t limit) {
  return WaitLptStatusLines(kNFault, 0, limit);
}

// Events 5 and 6 of a nibble-mode request the peripheral has acknowledged. Returns the
// failed event's text, or null.
const char* NibbleModeGranted(std::uint8_t request, std::uint32_t limit) {
  // Event 5: PError low, nFault low (data there), Select as the peripheral's XFlag: low for
  // plain nibble mode, high when it grants another request.
  const bool plain = request == 0;
  if (!WaitLptStatusLines(plain ? 0 : kSelect,
                          plain ? kNFault | kSelect | kPError : kNFault | kPError, limit)) {
    return "GetRevData : failure(Ev5)\n";
  }
  if (!WaitLptStatusLines(kNAck, 0, limit)) {
    return "GetRevData : failure(Ev6)\n";
  }
  if (!WaitLptStatusLines(plain ? 0 : kSelect, plain ? kSelect : 0, limit)) {
    return "GetRevData : failure(Ev6-1)\n";
  }
  return nullptr;
}

// A nibble read that failed after event 1 reports its failure and hands the link back, so
// that the printer is in compatibility mode for the writes that follow.
std::int32_t NibbleFailure(const char* text, Stranded where, std::uint32_t limit) {
  ReportFailure("%s", text);
  HandBack(where, limit);
  return 0;
}

}  // namespace

std::int32_t GetRevData(std::uint8_t* lpBuffer, std::uint32_t length, std::uint32_t& read,
                        std::uint8_t byRequest) {
  DebugLine(kLevelModeFunction, "GetRevData\n");
  read = 0;
  if (lpBuffer == nullptr) {
    return HandshakeFailure("GetRevData : failure (lpBuffer == NULL)\n");
  }
  return OnPort("GetRevData", [&] {
    const VopP2Param& param = Library().param;
    const std::uint32_t limit = param.dwLptReceptionDelay;
    // Nibble mode is what this read runs, whatever mode bit the request carries.
    const auto request = static_cast<std::uint8_t>(byRequest & ~kEcpModeBit);
    SetLptControlLines(kNStrobe | kNAutoFd, kNSelectIn);
    if (!RequestMode(request, limit)) {
      return NibbleFailure("GetRevData : failure(Ev2)\n", Stranded::kUnacknowledged, limit);
    }
    if (const char* failure = NibbleModeGranted(request, limit)) {
      return NibbleFailure(failure, Stranded::kNegotiated, limit);
    }
    while (read < length) {
      std::uint8_t low = 0;
      std::uint8_t high = 0;
      // The byte goes into the buffer only once both nibbles have come: a read that stops
      // half-way leaves the buffer past the count as it was.
      const char* failure = NibbleOut(limit, low);
      if (failure == nullptr) {
        failure = NibbleTaken(limit);
      }
      if (failure == nullptr) {
        failure = NibbleOut(limit, high);
      }
      if (failure != nullptr) {
        return NibbleFailure(failure, Stranded::kNegotiated, limit);
      }
      lpBuffer[read] = static_cast<std::uint8_t>(low | (high << 4));
      ++read;
      if (read < length) {
        lpBuffer[read] = 0;  // the data stays terminated where there is room
      }
      if (const char* notTaken = NibbleTaken(limit)) {
        return NibbleFailure(notTaken, Stranded::kNegotiated, limit);
      }
      if (read == length || EndOfData(param.dwLptReceptionTerminationTiming)) {
        break;
      }
    }
    const int failedAt = TerminationEvents(0, limit);
    if (failedAt != 0) {
      ReportFailure("GetRevData : failure(Ev%d)\n", failedAt);
      return 0;
    }
    return 1;
  });
}

std::int32_t ECPGetRevData(std::uint8_t* lpBuffer, std::uint32_t length, std::uint32_t& read,
                           std::uint8_t byRequest) {
  DebugLine(kLevelModeFunction, "ECPGetRevData\n");
  read = 0;
  if (lpBuffer == nullptr) {
    return HandshakeFailure("ECPGetRevData : failure (lpBuffer == NULL)\n");
  }
  return OnPort("ECPGetRevData", [&] {
    LibraryState& library = Library();
    const std::uint32_t limit = library.param.dwLptReceptionDelay;
    // An ECP transfer needs the peripheral in ECP mode: the request asks for it also when
    // the caller passes 0 for ordinary reverse data.
    const auto request = static_cast<std::uint8_t>(byRequest | kEcpModeBit);
    if (library.dwEcpState == 0 && ECPNegotiateLPTWithVopP2(request, kEcrStandard, kEcrByte) == 0) {
      return 0;
    }
    WriteRegister(kEcr, kEcrByte);
    SetLptControlLines(0, kNAutoFd);
    SetLptControlLines(0, kNInit);  // the reverse request
    SetLptControlLines(kDataInput, 0);
    if (!WaitLptStatusLines(0, kPError, limit)) {
      return EcpHandshakeFailure("ECPGetRevData : failure(Ev40)\n", Stranded::kNegotiated);
    }
    while (read < length && TestLptStatusLines(0, kNFault)) {
      if (!WaitLptStatusLines(0, kNAck, limit)) {
        return EcpHandshakeFailure("ECPGetRevData : failure(Ev43)\n", Stranded::kNegotiated);
      }
      lpBuffer[read] = ReadRegister(kDataRegister);
      ++read;
      SetLptControlLines(kNAutoFd, 0);  // event 44
      if (!WaitLptStatusLines(kNAck, 0, limit)) {
        return EcpHandshakeFailure("ECPGetRevData : failure(Ev45)\n", Stranded::kNegotiated);
      }
      SetLptControlLines(0, kNAutoFd);  // event 46
    }
    SetLptControlLines(0, kDataInput);
    SetLptControlLines(kNInit, 0);  // event 47
    if (!WaitLptStatusLines(kNAck, kBusy, limit)) {
      return EcpHandshakeFailure("ECPGetRevData : failure(Ev48)\n", Stranded::kNegotiated);
    }
    if (!WaitLptStatusLines(kPError, 0, limit)) {
      return EcpHandshakeFailure("ECPGetRevData : failure(Ev49)\n", Stranded::kNegotiated);
    }
    if (ECPTerminateLPTWithVopP2() == 0) {
      return 0;
    }
    WriteRegister(kEcr, kEcrStandard);
    return 1;
  });
}

}  // namespace vopp2
