// Serial line settings between the Windows device control block and termios. Pure
// functions, so the mapping is checked without a tty.
#pragma once

#include <termios.h>

#include <cstdint>

#include "platform/WinApi.h"

namespace platform::linux_backend {

// A byte line: no line editing, echo, signals, character translation or XON/XOFF (flow
// control is what SetCommState asks for), reads that never
// block in the kernel (the backend waits with poll), receiver on, modem status ignored.
void MakeRawLine(termios& settings);

// Writes into settings what termios carries of state: baud rate, byte size, parity, stop
// bits, parity checking, CTS/RTS hardware flow (CRTSCTS, for CTS output flow or RTS
// handshake), XON/XOFF in both directions and their characters. Returns kErrorSuccess, or
// kErrorInvalidParameter for a value the line cannot take (a baud rate termios has no
// constant for, 1.5 stop bits with more than 5 data bits, RTS toggling) and leaves settings
// as they were then. DSR output flow, DTR handshake, the XON/XOFF limits and the other
// members have no termios counterpart.
std::uint32_t ApplyCommState(const CommState& state, termios& settings);

// Overwrites the members of state that termios carries with the line's values; the others
// keep what state held.
void ReadCommState(const termios& settings, CommState& state);

}  // namespace platform::linux_backend
