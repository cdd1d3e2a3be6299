// IEEE 1284 handshake steps the negotiation, the reverse reads and the termination share.
// InitLPTPort, ECPNegotiateLPTWithVopP2 and ECPTerminateLPTWithVopP2 themselves are declared
// with the transports (Transports.h).
#pragma once

#include <cstdint>

namespace vopp2 {

// Events 0 to 4: the request on the data lines, nSelectIn high and nAutoFd low, a wait of
// limit for the peripheral's event 2 (PError, Select, nFault high, nAck low), then the
// strobe. False when event 2 did not come.
bool RequestMode(std::uint8_t request, std::uint32_t limit);

// Events 22 to 28 with a wait of limit each: the event (23, 24 or 27) whose wait failed, or 0
// when the peripheral is back in compatibility mode. At event 24 the wait is for nAck and the
// lines in alsoLowAt24 low.
int TerminationEvents(std::uint8_t alsoLowAt24, std::uint32_t limit);

// Reports a handshake's failure text; returns the failed result, 0.
std::int32_t HandshakeFailure(const char* text);

// Where a handshake that failed after event 1 left the peripheral.
enum class Stranded {
  kUnacknowledged,  // it never gave event 2: the request is simply withdrawn
  kNegotiated,      // it answered the request: it needs the termination events
};

// Takes the link back to compatibility mode after a handshake failed, as far as the
// peripheral follows, so that later forward writes reach it. It reports nothing: the failure
// that ended the handshake stays the one reported, and a refused register access just ends
// the hand-back. A withdrawn request is nSelectIn low and nAutoFd high again; otherwise the
// termination events run with a wait of limit each. At event 24 only nAck is waited for:
// Select then shows the inverse of the XFlag the peripheral gave, high after it refused the
// request, low after it granted ECP mode.
void HandBack(Stranded where, std::uint32_t limit);

// Reports the failure text of a handshake in or towards ECP mode (also turned round for
// reverse data), then hands the link back: data direction to output, nInit high, the link
// as HandBack with the ECP termination's limit, ECR standard and dwEcpState 0. Returns 0.
std::int32_t EcpHandshakeFailure(const char* text, Stranded where);

}  // namespace vopp2
