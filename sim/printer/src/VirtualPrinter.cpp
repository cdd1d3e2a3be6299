#include "sim/printer/VirtualPrinter.h"

#include <algorithm>

#include "DataFileCheck.h"
#include "FlashWork.h"
#include "FrameScan.h"
#include "Replies.h"

namespace sim {
namespace {

std::uint32_t U32At(std::span<const std::uint8_t> bytes, std::size_t at) {
  std::uint32_t value = 0;
  for (std::size_t i = 0; i < 4; ++i) {
    value |= static_cast<std::uint32_t>(bytes[at + i]) << (8 * i);
  }
  return value;
}

constexpr std::size_t kParametersAt = printer::kHeadSize;
constexpr std::uint8_t kNumberWindow = 128;

}  // namespace

std::uint32_t FlashBytesForCode(std::uint8_t flashSizeCode) {
  const unsigned h = flashSizeCode >> 4;
  if (h < 1 || h > 8) {
    return 0;
  }
  return (1U << (h - 1)) * 131072U;
}

// The receive memory is as large as the flash (a stream that fits neither is not kept), and
// both are filled when the printer is built, as a printer's memory is there from power-on.
VirtualPrinter::VirtualPrinter(PrinterConfig config)
    : config_(std::move(config)),
      flash_(FlashBytesForCode(config_.flashSizeCode), 0xFF),
      receiveMemory_(flash_.size(), 0x00),
      stream_(std::make_unique<printer::StreamCheck>()) {}

VirtualPrinter::~VirtualPrinter() = default;

IoResult VirtualPrinter::Write(std::span<const std::uint8_t> bytes) {
  if (config_.writesBeforeFailure && writes_ >= *config_.writesBeforeFailure) {
    return IoResult::Failed(platform::kErrorIoDevice);
  }
  ++writes_;
  receivedCount_ += bytes.size();
  const std::size_t recorded =
      std::min(bytes.size(), config_.receivedRecordLimit - received_.size());
  received_.insert(received_.end(), bytes.begin(),
                   bytes.begin() + static_cast<std::ptrdiff_t>(recorded));
  Take(bytes);
  return IoResult::Done(static_cast<std::uint32_t>(bytes.size()));
}

IoResult VirtualPrinter::Read(std::span<std::uint8_t> buffer) {
  if (config_.readsBeforeSilence && reads_ >= *config_.readsBeforeSilence) {
    return IoResult::Failed(platform::kErrorSemTimeout);
  }
  ++reads_;
  std::vector<std::uint8_t> reply;
  if (!replies_.empty()) {
    reply = std::move(replies_.front());
    replies_.pop_front();
  } else if (work_) {
    reply = printer::FlashStatusReply(work_->NextStatus());
  } else {
    return IoResult::Done(0);
  }
  const std::size_t count = std::min(reply.size(), buffer.size());
  std::copy_n(reply.begin(), count, buffer.begin());
  return IoResult::Done(static_cast<std::uint32_t>(count));
}

// Bytes are taken where they arrive; only the start of a frame cut off by the end of a write
// waits in pending_, joined by just enough of the next write to decide what it is.
void VirtualPrinter::Take(std::span<const std::uint8_t> bytes) {
  constexpr std::size_t kJoinBytes = 2 * printer::kLongestFrame;
  while (!bytes.empty()) {
    if (pending_.empty()) {
      const std::size_t used = Consume(bytes);
      pending_.assign(bytes.begin() + static_cast<std::ptrdiff_t>(used), bytes.end());
      return;
    }
    const std::size_t held = pending_.size();
    const std::size_t joined = std::min(bytes.size(), kJoinBytes);
    pending_.insert(pending_.end(), bytes.begin(),
                    bytes.begin() + static_cast<std::ptrdiff_t>(joined));
    const std::size_t used = Consume(pending_);
    if (used >= held) {
      pending_.clear();
      bytes = bytes.subspan(used - held);
    } else {
      pending_.erase(pending_.begin(), pending_.begin() + static_cast<std::ptrdiff_t>(used));
      bytes = bytes.subspan(joined);
    }
  }
}

// Takes frames and stream bytes from the start of bytes, up to a frame that has not fully
// arrived; returns how many were taken.
std::size_t VirtualPrinter::Consume(std::span<const std::uint8_t> bytes) {
  std::size_t pos = 0;
  while (pos < bytes.size()) {
    const auto rest = bytes.subspan(pos);
    const std::size_t offset = taken_ + pos;
    if (input_ == Input::kStream) {
      const std::size_t count = std::min(stream_->Size() - stream_->Taken(), rest.size());
      stream_->Take(rest.first(count));
      pos += count;
      if (stream_->Complete()) {
        FinishStream();
      }
      continue;
    }
    const printer::Scan scan = printer::ScanFrame(rest);
    if (scan.kind == printer::Scan::Kind::kNeedMore) {
      break;
    }
    if (scan.kind == printer::Scan::Kind::kFrame) {
      inStrayRun_ = false;
      input_ = Input::kFrames;
      pos += scan.length;
      HandleFrame(rest.first(scan.length), offset);
    } else if (scan.kind == printer::Scan::Kind::kBadSum && input_ == Input::kFrames) {
      inStrayRun_ = false;
      NoteFault(ProtocolFault::Kind::kBadSum, offset);
      pos += scan.length;
    } else {
      // While discarding a refused stream, bytes are dropped quietly until a frame appears.
      if (input_ == Input::kFrames && !inStrayRun_) {
        NoteFault(ProtocolFault::Kind::kStrayBytes, offset);
        inStrayRun_ = true;
      }
      pos += 1;
    }
  }
  taken_ += pos;
  return pos;
}

void VirtualPrinter::NoteFault(ProtocolFault::Kind kind, std::size_t offset) {
  faults_.push_back({kind, offset});
}

void VirtualPrinter::HandleFrame(std::span<const std::uint8_t> frame, std::size_t offset) {
  frames_.emplace_back(frame.begin(), frame.end());
  const std::uint8_t code = frame[1];
  const std::uint8_t number = frame[2];
  const auto params = frame.subspan(kParametersAt, frame.size() - kParametersAt - 1);
  if (code == printer::kStartJob) {
    StartJob(number, params);
    return;
  }
  if (!jobOpen_) {
    NoteFault(ProtocolFault::Kind::kOutsideJob, offset);
    return;
  }
  if (!TakeNumber(number, offset)) {
    return;
  }
  switch (code) {
    case printer::kEndJob:
      EndJob();
      break;
    case printer::kRequestStatus:
      RequestStatus(params[0]);
      break;
    case printer::kDownloadFirmware:
      DownloadFirmware(params);
      break;
    case printer::kExecuteFlashWrite:
      ExecuteFlashWrite(params);
      break;
    default:
      break;
  }
}

// A number ahead of the expected one means frames were lost on the way: the frame is taken
// and the count follows it. A number behind it is an old or repeated frame: ignored.
bool VirtualPrinter::TakeNumber(std::uint8_t number, std::size_t offset) {
  const auto ahead = static_cast<std::uint8_t>(number - expectedNumber_);
  if (ahead >= kNumberWindow) {
    NoteFault(ProtocolFault::Kind::kStaleNumber, offset);
    return false;
  }
  if (ahead != 0) {
    NoteFault(ProtocolFault::Kind::kNumberGap, offset);
  }
  expectedNumber_ = static_cast<std::uint8_t>(number + 1);
  return true;
}

void VirtualPrinter::StartJob(std::uint8_t number, std::span<const std::uint8_t> params) {
  LeaveFlashWork();
  replies_.clear();
  haveStream_ = false;
  machineId_ = params[0];
  jobOpen_ = config_.acceptJob;
  expectedNumber_ = static_cast<std::uint8_t>(number + 1);
  replies_.push_back(printer::StartJobReply(config_.acceptJob));
}

void VirtualPrinter::EndJob() {
  LeaveFlashWork();
  jobOpen_ = false;
  haveStream_ = false;
}

void VirtualPrinter::RequestStatus(std::uint8_t kind) {
  replies_.push_back(printer::StatusReply(kind, config_));
}

// The stream that follows is as long as the frame announces. An announcement too short for
// any data file (a host counts a file of 256 bytes or less as length 0 and announces 1, but
// then sends the whole file) cannot be taken by size: the printer refuses the transfer and
// drops what follows until the next well-formed frame.
void VirtualPrinter::DownloadFirmware(std::span<const std::uint8_t> params) {
  LeaveFlashWork();
  const std::uint32_t size = U32At(params, 2);
  haveStream_ = false;
  if (size < printer::kSmallestStream) {
    haveStream_ = true;
    streamVerdict_ = flash_status::kSizeError;
    lastStreamSize_ = 0;
    input_ = Input::kDiscard;
    replies_.push_back(printer::CapacityReply(config_.flashSizeCode));
    return;
  }
  stream_->Begin(size, receiveMemory_, flash_.size());
  input_ = Input::kStream;
}

void VirtualPrinter::FinishStream() {
  input_ = Input::kFrames;
  lastStreamSize_ = stream_->Taken();
  haveStream_ = true;
  streamVerdict_ = stream_->Verdict();
  replies_.push_back(printer::CapacityReply(config_.flashSizeCode));
}

void VirtualPrinter::ExecuteFlashWrite(std::span<const std::uint8_t> params) {
  LeaveFlashWork();
  lastWriteMode_ = U32At(params, 0);
  const std::uint32_t length = U32At(params, 4);
  // No data, or data of another length than the one to write, is a size error.
  std::uint8_t verdict = flash_status::kSizeError;
  if (haveStream_ && streamVerdict_ != printer::kStreamAccepted) {
    verdict = streamVerdict_;
  } else if (haveStream_ && length == stream_->Size() - 1) {
    verdict = printer::kStreamAccepted;
  }
  std::span<const std::uint8_t> payload;
  if (verdict == printer::kStreamAccepted) {
    payload = stream_->Payload();
  }
  haveStream_ = false;
  work_ = std::make_unique<printer::FlashWork>(flash_, payload, verdict, config_);
}

void VirtualPrinter::LeaveFlashWork() {
  if (work_) {
    work_->FinishAtOnce();
    work_.reset();
  }
}

}  // namespace sim
