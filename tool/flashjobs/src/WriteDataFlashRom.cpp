#include "flashjobs/WriteDataFlashRom.h"

#include <string>

#include "FlashFile.h"
#include "JobFrames.h"
#include "MessageText.h"
#include "PrinterLink.h"
#include "protocol/CommandNumber.h"
#include "zarnik/Strings.h"

namespace flashjobs {
namespace {

namespace text = zarnik::text;
using flashtools::MessageIcon;
using flashtools::ToolResult;
using zarnik::LoadString;
using zarnik::StringId;

constexpr std::size_t kJobResultByte = 2;
constexpr std::size_t kFlashSizeByte = 10;
constexpr std::uint32_t kBytesPerMbit = 131072;
constexpr std::uint32_t kFlashWriteMode = 0x00020400;

bool WritesFlash(int dataType) {
  return dataType == kDataTypeFirmware || dataType == kDataTypeDemoPrintData;
}

// The flash size in Mbit from the high four bits h of the capacity byte: 2^(h-1) for
// h = 1..8, none otherwise.
std::uint32_t FlashMbit(std::uint8_t sizeCode) {
  const unsigned h = sizeCode >> 4;
  return h >= 1 && h <= 8 ? 1U << (h - 1) : 0U;
}

class FlashWriteRun {
 public:
  FlashWriteRun(const FlashWriteRequest& request, std::uint8_t& commandNumber,
                flashtools::UserInterface& ui, StatusDisplay& display)
      : request_(request), number_(commandNumber), ui_(ui), display_(display) {}

  ToolResult Run();

 private:
  void Error(std::string_view message) {
    ui_.ShowMessage(message, text::kError, MessageIcon::kExclamation);
  }
  void PortError(StringId message) {
    ui_.ShowMessage(LoadString(message), LoadString(StringId::kErrorCaption),
                    MessageIcon::kExclamation);
  }
  bool Send(std::span<const std::uint8_t> bytes) { return SendToPrinter(request_.port, bytes); }
  bool Read(ReplyBuffer& reply) { return ReadFromPrinter(request_.port, reply, 0); }

  bool RefusedFile(FlashFileFacts::Refusal refusal);
  bool StreamFailed(DataStream::Failure failure);
  ToolResult CheckCapacity(std::uint32_t length);
  bool CloseJob();

  const FlashWriteRequest& request_;
  std::uint8_t& number_;
  flashtools::UserInterface& ui_;
  StatusDisplay& display_;
};

ToolResult FlashWriteRun::Run() {
  const FlashFileFacts facts = ProbeFlashFile(request_.dataFile, request_.dataType);
  if (RefusedFile(facts.refusal)) {
    return ToolResult::kFailedKeepOpen;
  }

  number_ = 0;
  if (!Send(BuildStartJob(number_, request_.machineId))) {
    PortError(StringId::kTransmissionFailure);
    return ToolResult::kFailed;
  }
  ReplyBuffer reply{};
  if (!Read(reply)) {
    Error(text::kFailToRead);
    return ToolResult::kFailed;
  }
  if (reply[kJobResultByte] != 0) {
    Error(text::kJobNotAccepted);
    return ToolResult::kFailed;
  }

  // Without its frame the printer would take no data stream; asking it to write then would
  // rewrite the flash with nothing. The job is closed instead.
  protocol::RaiseCommandNumber(number_);
  if (!Send(BuildDownloadFirmware(number_, facts.flag, facts.targetCode, facts.length + 1,
                                  facts.loadParameter))) {
    PortError(StringId::kTransmissionFailure);
    CloseJob();
    return ToolResult::kFailed;
  }
  const DataStream stream = ReadDataStream(request_.dataFile, facts.length);
  if (StreamFailed(stream.failure)) {
    return ToolResult::kFailed;
  }
  if (!Send(stream.bytes)) {
    PortError(StringId::kTransmissionFailure);
    return ToolResult::kFailed;
  }
  // From here on the length is that of the bytes just sent.
  const auto length = static_cast<std::uint32_t>(stream.bytes.size() - 1);

  if (WritesFlash(request_.dataType)) {
    const ToolResult capacity = CheckCapacity(length);
    if (capacity != ToolResult::kSucceeded) {
      return capacity;
    }
  }

  protocol::RaiseCommandNumber(number_);
  const std::uint32_t mode = WritesFlash(request_.dataType) ? kFlashWriteMode : 0;
  if (!Send(BuildExecuteFlashWrite(number_, mode, length))) {
    PortError(StringId::kTransmissionFailure);
  }

  ChannelReplySource source(request_.port);
  StatusPoller poller(source, ui_);
  display_.Run(poller);

  const bool closed = CloseJob();
  return closed && poller.Last().outcome == PollOutcome::kComplete ? ToolResult::kSucceeded
                                                                   : ToolResult::kFailed;
}

bool FlashWriteRun::RefusedFile(FlashFileFacts::Refusal refusal) {
  using Refusal = FlashFileFacts::Refusal;
  switch (refusal) {
    case Refusal::kNone:
      return false;
    case Refusal::kCannotOpen:
      Error(text::kCannotOpenFileBang);
      break;
    case Refusal::kNotDemoPrintData:
      Error(text::kNotDemoPrintData);
      break;
    case Refusal::kNotFirmware:
      Error(text::kNotFirmwareData);
      break;
    case Refusal::kFormat:
      Error(text::kFileFormatError);
      break;
    case Refusal::kTooLarge:
      Error(text::kWriteSizeOver);
      break;
  }
  return true;
}

bool FlashWriteRun::StreamFailed(DataStream::Failure failure) {
  using Failure = DataStream::Failure;
  switch (failure) {
    case Failure::kNone:
      return false;
    case Failure::kCannotOpen:
      Error(text::kCannotOpenFileBang);
      break;
    case Failure::kNoMemory:
      PortError(StringId::kMemoryAllocationFailure);
      break;
    case Failure::kChanged:
    case Failure::kShortRead:
      PortError(StringId::kFileReadError);
      break;
  }
  return true;
}

// The capacity reply follows the data stream. Bytes it does not carry read as 0, as in
// every other reply, so its own buffer is cleared before the read.
ToolResult FlashWriteRun::CheckCapacity(std::uint32_t length) {
  ReplyBuffer reply{};
  if (!Read(reply)) {
    Error(text::kFailToRead);
    return ToolResult::kFailed;
  }
  const std::uint32_t mbit = FlashMbit(reply[kFlashSizeByte]);
  if (std::uint64_t{mbit} * kBytesPerMbit < length) {
    Error(text::kWriteSizeOver);
    return ToolResult::kFailed;
  }
  if (!ui_.Confirm(WithDecimal(text::kWriteMbitFormat, static_cast<int>(mbit)),
                   text::kWritingConfirmation, MessageIcon::kExclamation)) {
    CloseJob();
    return ToolResult::kFailed;
  }
  return ToolResult::kSucceeded;
}

bool FlashWriteRun::CloseJob() {
  protocol::RaiseCommandNumber(number_);
  if (!Send(BuildEndJob(number_))) {
    PortError(StringId::kTransmissionFailure);
    return false;
  }
  return true;
}

}  // namespace

flashtools::ToolResult WriteDataFlashRom(const FlashWriteRequest& request,
                                         std::uint8_t& commandNumber, flashtools::UserInterface& ui,
                                         StatusDisplay& display) {
  return FlashWriteRun(request, commandNumber, ui, display).Run();
}

}  // namespace flashjobs
