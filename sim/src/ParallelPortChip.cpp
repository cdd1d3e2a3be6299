#include "sim/ParallelPortChip.h"

#include <algorithm>
#include <utility>

namespace sim {
namespace {

constexpr std::uint16_t kData = 0;
constexpr std::uint16_t kStatus = 1;
constexpr std::uint16_t kControl = 2;
constexpr std::uint16_t kFifo = 0x400;
constexpr std::uint16_t kEcr = 0x402;

// ECR modes (bits 7 to 5).
constexpr std::uint8_t kModeStandard = 0;
constexpr std::uint8_t kModeByte = 1;
constexpr std::uint8_t kModeParallelFifo = 2;
constexpr std::uint8_t kModeEcp = 3;

constexpr std::uint8_t kEcrFull = 0x02;
constexpr std::uint8_t kEcrEmpty = 0x01;

// Control register bits; nStrobe, nAutoFd and nSelectIn are inverted against their lines.
constexpr std::uint8_t kStrobe = 0x01;
constexpr std::uint8_t kAutoFd = 0x02;
constexpr std::uint8_t kInit = 0x04;
constexpr std::uint8_t kSelectIn = 0x08;
constexpr std::uint8_t kDirection = 0x20;
constexpr std::uint8_t kControlBits = 0x3F;
constexpr std::uint8_t kControlUnused = 0xC0;  // read as 1

// Status register bits; Busy is inverted against its line. Bits 0-2 are not wired.
constexpr std::uint8_t kNotBusy = 0x80;
constexpr std::uint8_t kAck = 0x40;
constexpr std::uint8_t kPaperError = 0x20;
constexpr std::uint8_t kSelect = 0x10;
constexpr std::uint8_t kFault = 0x08;
constexpr std::uint8_t kStatusUnused = 0x07;

constexpr std::uint8_t kFloating = 0xFF;

}  // namespace

ParallelPortChip::ParallelPortChip(ParallelPortChipConfig config) : config_(config) {
  config_.accessesPerFifoByte = std::max<std::uint32_t>(config_.accessesPerFifoByte, 1);
}

void ParallelPortChip::Connect(std::shared_ptr<ParallelPeripheral> peripheral) {
  peripheral_ = std::move(peripheral);
  Tell();
}

// The direction bit counts in byte and ECP mode only; standard and FIFO modes always drive.
bool ParallelPortChip::Reversed() const {
  return (control_ & kDirection) != 0 && (Mode() == kModeByte || Mode() == kModeEcp);
}

HostLines ParallelPortChip::Lines() const {
  HostLines lines;
  lines.data = data_;
  lines.hostDrivesData = !Reversed();
  lines.nStrobe = (control_ & kStrobe) == 0 && !engineStrobe_;
  lines.nAutoFd = (control_ & kAutoFd) == 0;
  lines.nInit = (control_ & kInit) != 0;
  lines.nSelectIn = (control_ & kSelectIn) == 0;
  return lines;
}

PeripheralLines ParallelPortChip::PeripheralSide() const {
  if (peripheral_ == nullptr) {
    return PeripheralLines{true, true, true, true, true, std::nullopt};  // pulled up
  }
  return peripheral_->Lines();
}

void ParallelPortChip::Tell() const {
  if (peripheral_ != nullptr) {
    peripheral_->HostLinesChanged(Lines());
  }
}

std::uint8_t ParallelPortChip::In(std::uint16_t address) {
  const auto offset = static_cast<std::uint16_t>(address - config_.base);
  std::uint8_t value = kFloating;
  if (offset == kData) {
    value = data_;
    if (Reversed()) {
      value = PeripheralSide().data.value_or(kFloating);
    }
  } else if (offset == kStatus) {
    const PeripheralLines lines = PeripheralSide();
    value = static_cast<std::uint8_t>(kStatusUnused | (lines.busy ? 0 : kNotBusy) |
                                      (lines.nAck ? kAck : 0) | (lines.pError ? kPaperError : 0) |
                                      (lines.select ? kSelect : 0) | (lines.nFault ? kFault : 0));
  } else if (offset == kControl) {
    value = static_cast<std::uint8_t>(control_ | kControlUnused);
  } else if (offset == kEcr) {
    value = static_cast<std::uint8_t>((ecr_ & ~(kEcrFull | kEcrEmpty)) |
                                      (fifo_.empty() ? kEcrEmpty : 0) |
                                      (fifo_.size() >= config_.fifoDepth ? kEcrFull : 0));
  }
  lastWasFifoWrite_ = false;
  Step();
  return value;
}

void ParallelPortChip::Out(std::uint16_t address, std::uint8_t value) {
  const auto offset = static_cast<std::uint16_t>(address - config_.base);
  if (keepLog_) {
    writeLog_.push_back({offset, value});
  }
  const bool fifoWrite = offset == kFifo;
  if (offset == kData) {
    data_ = value;
    Tell();
  } else if (offset == kControl) {
    control_ = static_cast<std::uint8_t>(value & kControlBits);
    Tell();
  } else if (fifoWrite) {
    PushFifo(value);
  } else if (offset == kEcr) {
    SetEcr(value);
  }
  lastWasFifoWrite_ = fifoWrite;
  Step();
}

void ParallelPortChip::SetEcr(std::uint8_t value) {
  ecr_ = value;  // the two FIFO bits read back as the FIFO is
  if (Mode() == kModeStandard || Mode() == kModeByte) {
    fifoDiscarded_ += fifo_.size();
    fifo_.clear();
  }
  Tell();  // the direction may count now, or no more
}

void ParallelPortChip::PushFifo(std::uint8_t value) {
  if (!lastWasFifoWrite_) {
    fifoLoads_.push_back(0);
  }
  ++fifoLoads_.back();
  // Lost: the FIFO is full, or not in use in this mode.
  if (fifo_.size() >= config_.fifoDepth || (Mode() != kModeParallelFifo && Mode() != kModeEcp)) {
    ++fifoLost_;
  } else {
    fifo_.push_back(value);
  }
}

void ParallelPortChip::Step() {
  if (fifo_.empty() || (Mode() != kModeParallelFifo && Mode() != kModeEcp)) {
    stepAccesses_ = 0;
    return;
  }
  if (config_.fifoStopsAfter && fifoSent_ >= *config_.fifoStopsAfter) {
    return;
  }
  if (++stepAccesses_ < config_.accessesPerFifoByte || PeripheralSide().busy) {
    return;
  }
  stepAccesses_ = 0;
  SendFifoByte();
}

// Both FIFO modes strobe a byte out while the peripheral is not busy: the parallel-port FIFO
// with the compatibility handshake, ECP as HostClk (nStrobe), HostAck (nAutoFd) telling
// data from commands as the control register sets it.
void ParallelPortChip::SendFifoByte() {
  data_ = fifo_.front();
  fifo_.pop_front();
  ++fifoSent_;
  engineStrobe_ = true;
  Tell();
  engineStrobe_ = false;
  Tell();
}

}  // namespace sim
