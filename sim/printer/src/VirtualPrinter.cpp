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

VirtualPrinter::VirtualPrinter(PrinterConfig config)
    : config_(std::move(config)), flash_(FlashBytesForCode(config_.flashSizeCode), 0xFF) {}

VirtualPrinter::~VirtualPrinter() = default;

IoResult VirtualPrinter::Write(std::span<const std::uint8_t> bytes) {
  if (config_.writesBeforeFailure && writes_ >= *config_.writesBeforeFailure) {
    return IoResult::Failed(platform::kErrorIoDevice);
  }
  ++writes_;
  received_.insert(received_.end(), bytes.begin(), bytes.end());
  inbox_.insert(inbox_.end(), bytes.begin(), bytes.end());
  Process();
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

void VirtualPrinter::Process() {
  std::size_t pos = 0;
  while (pos < inbox_.size()) {
    const auto rest = std::span<const std::uint8_t>(inbox_).subspan(pos);
    const std::size_t offset = inboxStart_ + pos;
    if (input_ == Input::kStream) {
      const std::size_t count = std::min(streamExpected_ - streamTaken_, rest.size());
      if (streamKept_) {
        stream_.insert(stream_.end(), rest.begin(),
                       rest.begin() + static_cast<std::ptrdiff_t>(count));
      }
      streamTaken_ += count;
      pos += count;
      if (streamTaken_ == streamExpected_) {
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
      HandleFrame(rest.first(scan.length), offset);
      pos += scan.length;
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
  inbox_.erase(inbox_.begin(), inbox_.begin() + static_cast<std::ptrdiff_t>(pos));
  inboxStart_ += pos;
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
  stream_.clear();
  streamTaken_ = 0;
  haveStream_ = false;
  if (size < printer::kSmallestStream) {
    haveStream_ = true;
    streamVerdict_ = flash_status::kSizeError;
    lastStreamSize_ = 0;
    input_ = Input::kDiscard;
    replies_.push_back(printer::CapacityReply(config_.flashSizeCode));
    return;
  }
  streamExpected_ = size;
  streamKept_ = size - 1 <= flash_.size();
  if (streamKept_) {
    stream_.reserve(size);
  }
  input_ = Input::kStream;
}

void VirtualPrinter::FinishStream() {
  input_ = Input::kFrames;
  lastStreamSize_ = streamTaken_;
  haveStream_ = true;
  streamVerdict_ =
      streamKept_ ? printer::CheckDataStream(stream_, flash_.size()) : flash_status::kSizeOver;
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
  } else if (haveStream_ && length == stream_.size() - 1) {
    verdict = printer::kStreamAccepted;
  }
  std::vector<std::uint8_t> payload;
  if (verdict == printer::kStreamAccepted) {
    const auto accepted = printer::PayloadOf(stream_);
    payload.assign(accepted.begin(), accepted.end());
  }
  haveStream_ = false;
  work_ = std::make_unique<printer::FlashWork>(flash_, std::move(payload), verdict, config_);
}

void VirtualPrinter::LeaveFlashWork() {
  if (work_) {
    work_->FinishAtOnce();
    work_.reset();
  }
}

}  // namespace sim
