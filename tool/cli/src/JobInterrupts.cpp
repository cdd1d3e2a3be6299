#include "JobInterrupts.h"

#include "zarnik/Strings.h"

namespace cli {

namespace text = zarnik::text;
using flashjobs::JobStage;

InterruptResponse RespondToInterrupt(int count, JobStage stage) {
  if (count <= 1) {
    switch (stage) {
      case JobStage::kNoJob:
        return {text::kInterruptedBeforeJob, true};
      case JobStage::kOpening:
        return {text::kInterruptedWhileOpening, false};
      case JobStage::kTransfer:
      case JobStage::kQuerying:
        return {text::kInterruptedInJob, false};
      case JobStage::kFlashing:
        return {text::kInterruptedWhileFlashing, false};
      case JobStage::kClosing:
        return {text::kInterruptedWhileClosing, false};
      case JobStage::kClosed:
      case JobStage::kNotOpened:
        // The job is over, or never began; its outcome is about to be told.
        return {{}, false};
    }
  }
  switch (stage) {
    case JobStage::kOpening:
      return {text::kAbandonedWhileOpening, true};
    case JobStage::kFlashing:
      return {text::kAbandonedWhileFlashing, true};
    case JobStage::kNoJob:
    case JobStage::kClosed:
    case JobStage::kNotOpened:
      return {{}, true};
    default:
      return {text::kAbandonedJob, true};
  }
}

}  // namespace cli
