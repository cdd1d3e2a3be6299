// The host's parallel port of the simulated machine, as an ECP-capable port chip presents
// it to software: data, status and control registers at base, base + 1, base + 2 (status
// Busy and control nStrobe, nAutoFd, nSelectIn inverted against their lines, control bit
// 0x20 the data direction), the ECP data FIFO at base + 0x400 and the extended control
// register (ECR) at base + 0x402, whose mode field selects standard (000), byte (001),
// parallel-port FIFO (010) or ECP (011) operation. In the two FIFO modes the chip itself
// moves FIFO bytes across the cable with the mode's handshake, one byte per
// accessesPerFifoByte register accesses while the peripheral is not busy. Changing to mode
// 000 or 001 empties the FIFO, as the hardware does.
#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <memory>
#include <optional>
#include <vector>

#include "sim/ParallelCable.h"
#include "sim/PortRegisters.h"

namespace sim {

struct ParallelPortChipConfig {
  std::uint16_t base = 0x378;
  std::size_t fifoDepth = 16;
  // Register accesses it takes to put one FIFO byte on the cable (at least 1).
  std::uint32_t accessesPerFifoByte = 1;
  // The FIFO stops putting bytes on the cable after this many (none: it never stops).
  std::optional<std::uint64_t> fifoStopsAfter;
};

// One register write, by offset from the base, for tests that follow a sequence.
struct RegisterWrite {
  std::uint16_t offset;
  std::uint8_t value;
  bool operator==(const RegisterWrite&) const = default;
};

class ParallelPortChip final : public PortRegisters {
 public:
  explicit ParallelPortChip(ParallelPortChipConfig config = {});

  // The cable's far end; with nothing connected every status line floats high.
  void Connect(std::shared_ptr<ParallelPeripheral> peripheral);

  std::uint16_t Base() const override { return config_.base; }
  std::uint8_t In(std::uint16_t address) override;
  void Out(std::uint16_t address, std::uint8_t value) override;

  // --- the test's side ---
  // The ECR and control register as last written.
  std::uint8_t Ecr() const { return ecr_; }
  std::uint8_t Control() const { return control_; }
  // Runs of consecutive FIFO writes, in bytes, in order.
  const std::vector<std::size_t>& FifoLoads() const { return fifoLoads_; }
  // Bytes written into a full FIFO (lost), and bytes a mode change dropped before they left.
  std::uint64_t FifoBytesLost() const { return fifoLost_; }
  std::uint64_t FifoBytesDiscarded() const { return fifoDiscarded_; }
  // Keeps every register write from now on (off by default: transfers are long).
  void KeepWriteLog(bool keep) { keepLog_ = keep; }
  const std::vector<RegisterWrite>& WriteLog() const { return writeLog_; }

 private:
  std::uint8_t Mode() const { return static_cast<std::uint8_t>(ecr_ >> 5); }
  bool Reversed() const;
  HostLines Lines() const;
  PeripheralLines PeripheralSide() const;
  void Tell() const;
  void SetEcr(std::uint8_t value);
  void PushFifo(std::uint8_t value);
  // One register access's worth of time for the FIFO.
  void Step();
  void SendFifoByte();

  ParallelPortChipConfig config_;
  std::shared_ptr<ParallelPeripheral> peripheral_;
  std::uint8_t data_ = 0;
  std::uint8_t control_ = 0x0C;  // nInit high, nSelectIn low: compatibility mode at rest
  std::uint8_t ecr_ = 0x15;
  bool engineStrobe_ = false;  // the FIFO's handshake holds nStrobe low
  std::deque<std::uint8_t> fifo_;
  std::uint32_t stepAccesses_ = 0;
  std::uint64_t fifoSent_ = 0;
  std::uint64_t fifoLost_ = 0;
  std::uint64_t fifoDiscarded_ = 0;
  std::vector<std::size_t> fifoLoads_;
  bool lastWasFifoWrite_ = false;
  bool keepLog_ = false;
  std::vector<RegisterWrite> writeLog_;
};

}  // namespace sim
