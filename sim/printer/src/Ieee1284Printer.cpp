#include "sim/printer/Ieee1284Printer.h"

#include <cstdio>
#include <limits>
#include <span>
#include <string>
#include <utility>

#include "DeviceIdReply.h"
#include "platform/WinApi.h"

namespace sim {
namespace {

// Extensibility request bits of the modes this printer offers.
constexpr std::uint8_t kDeviceIdBit = 0x04;
constexpr std::uint8_t kEcpMode = 0x10;
constexpr std::uint8_t kNibbleMode = 0x00;

// Room for one reply of the printer, and for its device ID.
constexpr std::size_t kReplyRoom = 1024;

constexpr std::uint64_t kNever = std::numeric_limits<std::uint64_t>::max();

}  // namespace

Ieee1284Printer::Ieee1284Printer(std::shared_ptr<Device> printer,
                                 std::function<std::uint64_t()> clock, Ieee1284Config config)
    : printer_(std::move(printer)), clock_(std::move(clock)), config_(config) {
  IdleLines();
}

// Compatibility mode at rest: ready, selected, paper, no fault; a broken printer stays busy
// with a fault.
void Ieee1284Printer::IdleLines() {
  lines_ = PeripheralLines{};
  lines_.busy = broken_;
  lines_.nFault = !broken_;
}

bool Ieee1284Printer::Answer(int event) {
  if (event == config_.silentAtEvent) {
    silent_ = true;
  }
  return !silent_;
}

void Ieee1284Printer::Note(const std::string& what) {
  journal_.push_back({what, std::nullopt});
}

void Ieee1284Printer::NoteBytes(const std::string& phase) {
  if (journal_.empty() || journal_.back().what != phase || !journal_.back().bytes) {
    journal_.push_back({phase, 0});
  }
  ++*journal_.back().bytes;
}

std::vector<std::string> Ieee1284Printer::Journal() const {
  std::vector<std::string> lines;
  for (const JournalEntry& entry : journal_) {
    lines.push_back(entry.bytes ? entry.what + " " + std::to_string(*entry.bytes) : entry.what);
  }
  return lines;
}

PeripheralLines Ieee1284Printer::Lines() {
  PeripheralLines lines = lines_;
  if ((phase_ == Phase::kCompatibility || phase_ == Phase::kEcpForward) && BusyHeld()) {
    lines.busy = true;
  }
  return lines;
}

bool Ieee1284Printer::BusyHeld() {
  if (!busyUntil_) {
    return false;
  }
  if (*busyUntil_ == kNever || clock_() < *busyUntil_) {
    return true;
  }
  busyUntil_.reset();
  return false;
}

void Ieee1284Printer::HostLinesChanged(const HostLines& lines) {
  const HostLines was = host_;
  host_ = lines;
  const bool resetting = !lines.nInit && !lines.nSelectIn;
  if (resetting) {
    if (was.nInit || was.nSelectIn) {
      Reset();
    }
    return;
  }
  if (!was.nInit && !was.nSelectIn) {
    lines_.busy = broken_;  // initialised: ready again
  }
  // Event 22, from any negotiated phase: the host asks to go back to compatibility mode. A
  // printer that missed an event follows it too.
  if (phase_ != Phase::kCompatibility && phase_ != Phase::kTerminating && was.nSelectIn &&
      !lines.nSelectIn && lines.nAutoFd) {
    silent_ = false;
    Terminate();
    return;
  }
  if (silent_) {
    return;
  }
  switch (phase_) {
    case Phase::kCompatibility:
      Compatibility(was, lines);
      break;
    case Phase::kNegotiating:
      Negotiating(was, lines);
      break;
    case Phase::kNibble:
      Nibble(was, lines);
      break;
    case Phase::kEcpSetup:
      if (was.nAutoFd && !lines.nAutoFd && Answer(31)) {  // event 30
        lines_.pError = true;
        phase_ = Phase::kEcpForward;
      }
      break;
    case Phase::kEcpForward:
      EcpForward(was, lines);
      break;
    case Phase::kEcpReverse:
      EcpReverse(was, lines);
      break;
    case Phase::kTerminating:
      Terminating(was, lines);
      break;
    case Phase::kRejected:
      break;
  }
}

// The interface starts over in compatibility mode; what the host had not read is dropped.
void Ieee1284Printer::Reset() {
  Note("reset");
  phase_ = Phase::kCompatibility;
  silent_ = false;
  reverse_.clear();
  deviceId_.clear();
  IdleLines();
  lines_.busy = true;  // busy while nInit is held low
}

void Ieee1284Printer::Compatibility(const HostLines& was, const HostLines& now) {
  if (now.nSelectIn && !now.nAutoFd && !(was.nSelectIn && !was.nAutoFd)) {
    // Event 1; the request byte is on the data lines (event 0) and latched at event 3.
    request_ = now.data;
    if (Answer(2)) {
      lines_.nAck = false;
      lines_.pError = true;
      lines_.nFault = true;
      lines_.select = true;
      phase_ = Phase::kNegotiating;
      requestLatched_ = false;
    }
    return;
  }
  if (was.nStrobe && !now.nStrobe) {
    latched_ = now.data;
    lines_.busy = true;
  } else if (!was.nStrobe && now.nStrobe && lines_.busy) {
    Take(latched_, "compatibility");
  }
}

void Ieee1284Printer::Negotiating(const HostLines& was, const HostLines& now) {
  if (was.nStrobe && !now.nStrobe) {  // event 3
    request_ = now.data;
    requestLatched_ = true;
  } else if (requestLatched_ && now.nStrobe && now.nAutoFd) {  // event 4
    Negotiated();
  }
}

void Ieee1284Printer::Negotiated() {
  char text[32];
  std::snprintf(text, sizeof text, "negotiation %02Xh", static_cast<unsigned>(request_));
  Note(text);
  const auto mode = static_cast<std::uint8_t>(request_ & ~kDeviceIdBit);
  const bool nibble = mode == kNibbleMode;
  const bool ecp = mode == kEcpMode;
  deviceIdRequest_ = (request_ & kDeviceIdBit) != 0;
  // XFlag: low for plain nibble mode; for any other request high when it is supported.
  xflag_ = (nibble || ecp) && request_ != kNibbleMode;
  if (!Answer(5)) {
    return;
  }
  lines_.pError = false;
  lines_.busy = false;
  lines_.select = xflag_;
  // In nibble mode nFault low says reverse data is there; in ECP mode the data is fetched
  // when the host turns the link round.
  lines_.nFault = nibble ? !HaveReverseData() : true;
  if (!Answer(6)) {
    return;
  }
  lines_.nAck = true;
  highNibble_ = false;
  phase_ = nibble ? Phase::kNibble : ecp ? Phase::kEcpSetup : Phase::kRejected;
}

std::deque<std::uint8_t>& Ieee1284Printer::Source() {
  return deviceIdRequest_ ? deviceId_ : reverse_;
}

bool Ieee1284Printer::HaveReverseData() {
  std::vector<std::uint8_t> buffer(kReplyRoom);
  if (deviceIdRequest_ && deviceId_.empty()) {
    // Room for the length bytes that go in front.
    const IoResult result =
        printer_->IoControl(platform::kIoctlParQueryDeviceId, {}, std::span(buffer).subspan(2));
    if (result.ok) {
      const std::vector<std::uint8_t> reply = WithLengthBytes(
          std::string_view(reinterpret_cast<const char*>(buffer.data() + 2), result.count));
      deviceId_.assign(reply.begin(), reply.end());
    }
  } else if (!deviceIdRequest_ && reverse_.empty()) {
    const IoResult result = printer_->Read(buffer);
    if (result.ok) {
      reverse_.assign(buffer.begin(), buffer.begin() + result.count);
    }
  }
  return !Source().empty();
}

// Event 8: the nibble on nFault (bit 0), Select (1), PError (2) and Busy (3).
void Ieee1284Printer::PresentNibble() {
  const std::uint8_t byte = Source().front();
  const auto nibble = static_cast<std::uint8_t>(highNibble_ ? byte >> 4 : byte & 0x0F);
  lines_.nFault = (nibble & 0x01) != 0;
  lines_.select = (nibble & 0x02) != 0;
  lines_.pError = (nibble & 0x04) != 0;
  lines_.busy = (nibble & 0x08) != 0;
}

void Ieee1284Printer::Nibble(const HostLines& was, const HostLines& now) {
  if (was.nAutoFd && !now.nAutoFd) {  // event 7: the host is ready for a nibble
    if (Source().empty()) {
      return;
    }
    PresentNibble();
    if (Answer(9)) {
      lines_.nAck = false;
    }
  } else if (!was.nAutoFd && now.nAutoFd && !lines_.nAck) {  // event 10: the host has it
    if (!Answer(11)) {
      return;
    }
    lines_.nAck = true;
    if (!highNibble_) {
      highNibble_ = true;
      return;
    }
    highNibble_ = false;
    Source().pop_front();
    NoteBytes(deviceIdRequest_ ? "nibble device ID" : "nibble");
    lines_.busy = false;
    lines_.pError = false;
    lines_.select = xflag_;
    lines_.nFault = Source().empty();  // low: more data follows
  }
}

void Ieee1284Printer::EcpForward(const HostLines& was, const HostLines& now) {
  if (was.nStrobe && !now.nStrobe) {  // HostClk low: PeriphAck high, the byte is latched
    latched_ = now.data;
    latchedCommand_ = !now.nAutoFd;
    lines_.busy = true;
  } else if (!was.nStrobe && now.nStrobe && lines_.busy) {  // HostClk high: taken
    if (latchedCommand_) {
      NoteBytes("ECP commands");
      lines_.busy = broken_;
    } else {
      Take(latched_, "ECP forward");
    }
  } else if (was.nInit && !now.nInit && !now.nAutoFd) {  // events 38 and 39
    if (!Answer(40)) {
      return;
    }
    lines_.pError = false;
    phase_ = Phase::kEcpReverse;
    if (HaveReverseData()) {
      PresentEcpByte();
    }
  }
}

// Events 41 to 43: nFault low while there is data, the byte on the data lines, Busy high
// (data, not a command), nAck low.
void Ieee1284Printer::PresentEcpByte() {
  lines_.nFault = false;
  if (!Answer(43)) {
    return;
  }
  lines_.data = Source().front();
  lines_.busy = true;
  lines_.nAck = false;
}

void Ieee1284Printer::EcpReverse(const HostLines& was, const HostLines& now) {
  if (!was.nAutoFd && now.nAutoFd && !lines_.nAck) {  // event 44: the host has the byte
    if (!Answer(45)) {
      return;
    }
    lines_.nAck = true;
    Source().pop_front();
    NoteBytes("ECP reverse");
  } else if (was.nAutoFd && !now.nAutoFd && lines_.nAck) {  // event 46
    if (Source().empty()) {
      lines_.nFault = true;
      lines_.data.reset();
    } else {
      PresentEcpByte();
    }
  } else if (!was.nInit && now.nInit) {  // event 47: back to forward; an unread byte stays
    lines_.data.reset();
    if (!Answer(48)) {
      return;
    }
    lines_.nAck = true;
    lines_.busy = false;
    if (!Answer(49)) {
      return;
    }
    lines_.pError = true;
    lines_.nFault = true;
    phase_ = Phase::kEcpForward;
  }
}

void Ieee1284Printer::Terminate() {
  Note("termination");
  lines_.data.reset();
  deviceId_.clear();
  if (!Answer(23)) {
    return;
  }
  lines_.busy = true;
  lines_.nFault = true;
  if (!Answer(24)) {
    return;
  }
  lines_.nAck = false;
  lines_.select = !xflag_;
  phase_ = Phase::kTerminating;
}

void Ieee1284Printer::Terminating(const HostLines& was, const HostLines& now) {
  if (was.nAutoFd && !now.nAutoFd && !lines_.nAck) {  // event 25
    if (!Answer(27)) {
      return;
    }
    IdleLines();                                            // event 26, and nAck high (event 27)
  } else if (!was.nAutoFd && now.nAutoFd && lines_.nAck) {  // event 28
    phase_ = Phase::kCompatibility;
  }
}

void Ieee1284Printer::Take(std::uint8_t byte, const std::string& phase) {
  if (broken_) {
    return;
  }
  if (!printer_->Write(std::span(&byte, 1)).ok) {
    broken_ = true;
    lines_.busy = true;
    lines_.nFault = false;
    return;
  }
  NoteBytes(phase);
  lines_.busy = false;
  ++forwardBytes_;
  if (config_.busyAfterBytes && forwardBytes_ == *config_.busyAfterBytes) {
    busyUntil_ = config_.busyMilliseconds == Ieee1284Config::kForever
                     ? kNever
                     : clock_() + config_.busyMilliseconds;
  }
}

}  // namespace sim
