// A printer's IEEE 1284 interface, at the far end of the simulated machine's parallel cable:
// it watches the host's lines and answers on its own as the standard has a peripheral do.
// Compatibility mode takes bytes by nStrobe with Busy; negotiation (events 0 to 6) takes the
// extensibility request and offers nibble mode (0x00), nibble-mode device ID (0x04), ECP
// mode (0x10) and ECP-mode device ID (0x14); nibble-mode reverse transfers (events 7 to 11),
// ECP forward bytes (HostClk/PeriphAck, HostAck telling data from commands), the ECP reverse
// request and transfers (events 38 to 46) and the turn-around (events 47 to 49), and
// termination (events 22 to 28). nInit low while nSelectIn is low resets the interface.
// Forward data goes to the printer behind it, a device such as the virtual printer; reverse
// data is the printer's next reply, fetched when the host asks for reverse data and nothing
// is left of the last one: what a host does not read stays for the next reverse transfer.
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "sim/Device.h"
#include "sim/ParallelCable.h"

namespace sim {

struct Ieee1284Config {
  // The IEEE 1284 event the printer never answers (0: it answers every one). Once it has
  // stayed silent it answers nothing more until the host terminates (event 22, from a
  // negotiated phase) or resets the interface.
  int silentAtEvent = 0;
  // After this many forward bytes Busy stays high for busyMilliseconds of the machine's
  // clock (none: Busy is never held). kForever holds it for good.
  std::optional<std::uint64_t> busyAfterBytes;
  std::uint32_t busyMilliseconds = 0;
  static constexpr std::uint32_t kForever = 0xFFFFFFFF;
};

class Ieee1284Printer final : public ParallelPeripheral {
 public:
  // clock: the machine's time in milliseconds, for how long Busy is held.
  Ieee1284Printer(std::shared_ptr<Device> printer, std::function<std::uint64_t()> clock,
                  Ieee1284Config config = {});

  void HostLinesChanged(const HostLines& lines) override;
  PeripheralLines Lines() override;

  // What happened on the interface, in order: "reset", "negotiation 10h", "termination",
  // and the data phases with their byte counts ("compatibility 9", "ECP forward 33",
  // "ECP commands 1", "ECP reverse 32", "nibble 3").
  std::vector<std::string> Journal() const;
  // Reverse data the printer still holds for the host.
  std::size_t PendingReverseBytes() const { return reverse_.size(); }

 private:
  enum class Phase {
    kCompatibility,
    kNegotiating,  // event 2 given, waiting for events 3 and 4
    kRejected,     // the request is not supported; waiting for termination
    kNibble,       // nibble-mode reverse idle and transfers
    kEcpSetup,     // waiting for event 30
    kEcpForward,   // ECP forward idle and transfers
    kEcpReverse,   // ECP reverse transfers
    kTerminating,  // events 23 and 24 given, waiting for events 25 and 28
  };
  struct JournalEntry {
    std::string what;
    std::optional<std::uint64_t> bytes;
  };

  // False when the printer is told to stay silent at this event (and from then on).
  bool Answer(int event);
  void Note(const std::string& what);
  void NoteBytes(const std::string& phase);
  void Reset();
  void Compatibility(const HostLines& was, const HostLines& now);
  void Negotiating(const HostLines& was, const HostLines& now);
  void Negotiated();
  void Nibble(const HostLines& was, const HostLines& now);
  void EcpForward(const HostLines& was, const HostLines& now);
  void EcpReverse(const HostLines& was, const HostLines& now);
  void Terminate();
  void Terminating(const HostLines& was, const HostLines& now);
  // Hands a forward byte to the printer and, unless Busy is to be held, is ready again.
  void Take(std::uint8_t byte, const std::string& phase);
  bool BusyHeld();
  // The reverse data of the negotiated request (the reply or the device ID); fetched from the
  // printer when none is left; false when there is none.
  bool HaveReverseData();
  std::deque<std::uint8_t>& Source();
  void PresentNibble();
  void PresentEcpByte();
  void IdleLines();

  std::shared_ptr<Device> printer_;
  std::function<std::uint64_t()> clock_;
  Ieee1284Config config_;
  HostLines host_;
  PeripheralLines lines_;
  Phase phase_ = Phase::kCompatibility;
  bool silent_ = false;
  bool broken_ = false;  // the printer refused a byte: Busy and nFault stay asserted
  std::uint8_t request_ = 0;
  bool requestLatched_ = false;
  bool xflag_ = false;
  bool deviceIdRequest_ = false;
  bool highNibble_ = false;
  std::uint8_t latched_ = 0;
  bool latchedCommand_ = false;
  std::uint64_t forwardBytes_ = 0;
  std::optional<std::uint64_t> busyUntil_;
  std::deque<std::uint8_t> reverse_;   // the printer's reply, as far as the host has not read it
  std::deque<std::uint8_t> deviceId_;  // the device ID of a device-ID request
  std::vector<JournalEntry> journal_;
};

}  // namespace sim
