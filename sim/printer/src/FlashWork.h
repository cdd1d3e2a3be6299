// The printer's flash work after Execute Flash Write: erase, write and verify, each moving
// its six-bit progress field from 0 to 50 over successive status reads, then "finished".
#pragma once

#include <cstdint>
#include <span>

#include "sim/printer/PrinterConfig.h"

namespace sim::printer {

class FlashWork {
 public:
  // `verdict` is 0 for data that passed every check; any other code is reported on every
  // read and the flash is left alone. The payload stays in the printer's receive memory,
  // untouched, while the work lasts.
  FlashWork(std::span<std::uint8_t> flash, std::span<const std::uint8_t> payload,
            std::uint8_t verdict, const PrinterConfig& config);

  // The status byte of the next status read; moves the work on.
  std::uint8_t NextStatus();
  // The host left the job: the printer completes whatever work it can without the host.
  void FinishAtOnce();

 private:
  enum class Phase { kRefused, kStalled, kErase, kWrite, kVerify, kFailed, kDone };

  bool Running() const;
  void CompletePhase();

  std::span<std::uint8_t> flash_;
  std::span<const std::uint8_t> payload_;
  Phase phase_;
  bool stall_;
  std::uint8_t code_;
  std::uint8_t failStatus_;
  std::uint32_t step_;
  std::uint32_t progress_ = 0;
};

}  // namespace sim::printer
