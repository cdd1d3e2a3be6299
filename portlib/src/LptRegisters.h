// The parallel port's registers for direct access: where they are, what their bits mean, and
// reads and writes that run only while the port is claimed. A register access the system
// refuses ends the whole operation: it throws PortAccessFailure, which OnPort turns into the
// operation's failure report, so that no refused read is ever taken for a printer's answer.
#pragma once

#include <cstdint>

namespace vopp2 {

// Register offsets from dwLptBase.
inline constexpr std::uint16_t kDataRegister = 0x000;
inline constexpr std::uint16_t kStatusRegister = 0x001;
inline constexpr std::uint16_t kControlRegister = 0x002;
inline constexpr std::uint16_t kEcpFifo = 0x400;
inline constexpr std::uint16_t kEcr = 0x402;

// Status lines (IEEE 1284 names, register bits). The hardware inverts Busy.
inline constexpr std::uint8_t kNFault = 0x08;
inline constexpr std::uint8_t kSelect = 0x10;
inline constexpr std::uint8_t kPError = 0x20;
inline constexpr std::uint8_t kNAck = 0x40;
inline constexpr std::uint8_t kBusy = 0x80;
inline constexpr std::uint8_t kInvertedStatus = 0x80;

// Control lines and the data direction bit. The hardware inverts nStrobe, nAutoFd and
// nSelectIn.
inline constexpr std::uint8_t kNStrobe = 0x01;
inline constexpr std::uint8_t kNAutoFd = 0x02;
inline constexpr std::uint8_t kNInit = 0x04;
inline constexpr std::uint8_t kNSelectIn = 0x08;
inline constexpr std::uint8_t kDataInput = 0x20;  // 1: the data register reads the cable
inline constexpr std::uint8_t kInvertedControl = 0x0B;

// ECR values written (mode in bits 7 to 5, both interrupts masked unless said) and the
// FIFO-empty bit read.
inline constexpr std::uint8_t kEcrStandard = 0x15;
inline constexpr std::uint8_t kEcrStandardUnmasked = 0x00;
inline constexpr std::uint8_t kEcrByte = 0x25;
inline constexpr std::uint8_t kEcrParallelFifo = 0x45;
inline constexpr std::uint8_t kEcrEcp = 0x65;
inline constexpr std::uint8_t kEcrFifoEmpty = 0x01;

struct PortAccessFailure {
  std::uint16_t address;
  std::uint32_t error;
};

// One register of the claimed port; throw PortAccessFailure when the system refuses.
std::uint8_t ReadRegister(std::uint16_t offset);
void WriteRegister(std::uint16_t offset, std::uint8_t value);

// The port at dwLptBase claimed for one operation, unless an enclosing operation holds it
// already. A refused claim is reported as caller's failure.
class PortClaim {
 public:
  explicit PortClaim(const char* caller);
  ~PortClaim();
  PortClaim(const PortClaim&) = delete;
  PortClaim& operator=(const PortClaim&) = delete;
  bool Held() const { return held_; }

 private:
  bool held_ = false;
};

void ReportPortAccessFailure(const char* caller, const PortAccessFailure& failure);

// Runs body (returning the operation's result) with the port claimed; a refused claim or
// register access makes it a failure of caller with result 0.
template <typename Body>
std::int32_t OnPort(const char* caller, Body body) {
  const PortClaim claim(caller);
  if (!claim.Held()) {
    return 0;
  }
  try {
    return body();
  } catch (const PortAccessFailure& failure) {
    ReportPortAccessFailure(caller, failure);
    return 0;
  }
}

}  // namespace vopp2
