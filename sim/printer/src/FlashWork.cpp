#include "FlashWork.h"

#include <algorithm>

#include "sim/printer/VirtualPrinter.h"

namespace sim::printer {
namespace {

constexpr std::uint32_t kFullProgress = 50;
constexpr std::uint8_t kVerifyError = 0x05;

}  // namespace

FlashWork::FlashWork(std::span<std::uint8_t> flash, std::span<const std::uint8_t> payload,
                     std::uint8_t verdict, const PrinterConfig& config)
    : flash_(flash),
      payload_(payload),
      phase_(verdict != 0 ? Phase::kRefused : Phase::kErase),
      stall_(config.stall),
      code_(verdict),
      failStatus_(config.failStatus),
      step_(std::max<std::uint32_t>(config.progressStep, 1)) {}

bool FlashWork::Running() const {
  return phase_ == Phase::kErase || phase_ == Phase::kWrite || phase_ == Phase::kVerify;
}

std::uint8_t FlashWork::NextStatus() {
  std::uint8_t base = 0;
  switch (phase_) {
    case Phase::kRefused:
    case Phase::kFailed:
      return code_;
    case Phase::kStalled:
      return flash_status::kNoNews;
    case Phase::kDone:
      return flash_status::kFinished;
    case Phase::kErase:
      base = flash_status::kErasing;
      break;
    case Phase::kWrite:
      base = flash_status::kWriting;
      break;
    case Phase::kVerify:
      base = flash_status::kVerifying;
      break;
  }
  // A stalling printer gets halfway through the erase and is heard of no more.
  if (stall_ && progress_ >= kFullProgress / 2) {
    phase_ = Phase::kStalled;
    return flash_status::kNoNews;
  }
  const auto status = static_cast<std::uint8_t>(base | progress_);
  if (progress_ >= kFullProgress) {
    CompletePhase();
    progress_ = 0;
  } else {
    progress_ = std::min(progress_ + step_, kFullProgress);
  }
  return status;
}

void FlashWork::FinishAtOnce() {
  if (stall_) {
    phase_ = Running() ? Phase::kStalled : phase_;
    return;
  }
  while (Running()) {
    CompletePhase();
  }
}

void FlashWork::CompletePhase() {
  switch (phase_) {
    case Phase::kErase:
      std::fill(flash_.begin(), flash_.end(), std::uint8_t{0xFF});
      if (failStatus_ != 0) {
        phase_ = Phase::kFailed;
        code_ = failStatus_;
      } else {
        phase_ = Phase::kWrite;
      }
      break;
    case Phase::kWrite:
      std::copy(payload_.begin(), payload_.end(), flash_.begin());
      phase_ = Phase::kVerify;
      break;
    case Phase::kVerify:
      if (std::equal(payload_.begin(), payload_.end(), flash_.begin())) {
        phase_ = Phase::kDone;
      } else {
        phase_ = Phase::kFailed;
        code_ = kVerifyError;
      }
      break;
    default:
      break;
  }
}

}  // namespace sim::printer
