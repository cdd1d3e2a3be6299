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

constexpr std::uint32_t kFlashWriteMode = 0x00020400;

class FlashWriteRun {
 public:
  FlashWriteRun(const FlashWriteRequest& request, std::uint8_t& commandNumber,
                flashtools::UserInterface& ui, StatusDisplay& display, JobControl& control)
      : request_(request), number_(commandNumber), ui_(ui), display_(display), control_(control) {}

  ToolResult Run();

 private:
  void Error(std::string_view message) {
    ui_.ShowMessage(message, text::kError, MessageIcon::kExclamation);
  }
  void PortError(std::string_view message) {
    ui_.ShowMessage(message, LoadString(StringId::kErrorCaption), MessageIcon::kExclamation);
  }
  bool Send(std::span<const std::uint8_t> bytes) {
    return SendToPrinter(request_.port, bytes, control_);
  }
  bool Stopped() const { return control_.StopRequested(); }

  // False when the file may be sent; otherwise its refusal has been shown.
  bool RefusedFile(const FlashFile& file);
  bool OpenJob(HeldPort& held);
  bool CapacityAllows(std::uint32_t length);
  // Sends End Job; whether it went, the failure shown as given when it did not (the job left
  // open when End Job could not be tried).
  bool CloseJob(std::string_view failure);
  // Every stop after the printer accepted the job closes it first, where End Job can still
  // close it (JobControl::PrinterMidMessage).
  ToolResult StopInJob() {
    CloseJob(text::kJobLeftOpen);
    return ToolResult::kFailed;
  }

  const FlashWriteRequest& request_;
  std::uint8_t& number_;
  flashtools::UserInterface& ui_;
  StatusDisplay& display_;
  JobControl& control_;
};

ToolResult FlashWriteRun::Run() {
  control_.Enter(JobStage::kNoJob);
  const FlashFile file = LoadFlashFile(request_.dataFile, request_.dataType);
  if (RefusedFile(file)) {
    const bool fileProblem = file.refusal != FlashFile::Refusal::kNoMemory &&
                             file.refusal != FlashFile::Refusal::kShortRead;
    return fileProblem ? ToolResult::kFailedKeepOpen : ToolResult::kFailed;
  }
  HeldPort held(request_.port);
  if (Stopped() || !OpenJob(held)) {
    return ToolResult::kFailed;
  }
  if (Stopped()) {
    return StopInJob();
  }

  protocol::RaiseCommandNumber(number_);
  if (!Send(BuildDownloadFirmware(number_, file.flag, file.targetCode, file.length + 1,
                                  file.loadParameter))) {
    // Without its frame the printer would take no data stream; asking it to write then would
    // rewrite the flash with nothing.
    PortError(LoadString(StringId::kTransmissionFailure));
    return StopInJob();
  }
  // From here the printer takes the next file length + 1 bytes as data, End Job included: a
  // stop waits for the stream to end.
  if (!SendDataStream(request_.port, file.Stream(), control_)) {
    PortError(LoadString(StringId::kTransmissionFailure));
    return StopInJob();
  }
  if (Stopped() || (ReadsFlashSize(request_.dataType) && !CapacityAllows(file.length))) {
    return StopInJob();
  }

  protocol::RaiseCommandNumber(number_);
  const std::uint32_t mode = ReadsFlashSize(request_.dataType) ? kFlashWriteMode : 0;
  // From the first byte of Execute Flash Write on, the printer may be erasing its flash: a
  // stop asked while the frame goes must be told so. A stop that came just before the stage
  // changed was told the flash is untouched, and is kept to that.
  control_.Enter(JobStage::kFlashing);
  if (Stopped()) {
    return StopInJob();
  }
  // Even cut short, the frame may still reach the printer whole (a port's FIFO sends what it
  // holds by itself), so the Status Display follows it as after any failed frame.
  if (!Send(BuildExecuteFlashWrite(number_, mode, file.length))) {
    PortError(LoadString(StringId::kTransmissionFailure));
  }

  ChannelReplySource source(request_.port);
  StatusPoller poller(source, ui_);
  display_.Run(poller);
  control_.NoteFlashUnfinished(poller.Last().outcome != PollOutcome::kComplete);

  const bool closed = CloseJob(LoadString(StringId::kTransmissionFailure));
  return closed && poller.Last().outcome == PollOutcome::kComplete ? ToolResult::kSucceeded
                                                                   : ToolResult::kFailed;
}

bool FlashWriteRun::RefusedFile(const FlashFile& file) {
  using Refusal = FlashFile::Refusal;
  switch (file.refusal) {
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
    case Refusal::kNoMemory:
      PortError(LoadString(StringId::kMemoryAllocationFailure));
      break;
    case Refusal::kShortRead:
      PortError(LoadString(StringId::kFileReadError));
      break;
    case Refusal::kTruncated:
      Error(WithUnsigned(WithUnsigned(WithUnsigned(text::kDamagedLengthFormat, file.payloadLength),
                                      file.neededLength),
                         file.length));
      break;
    case Refusal::kBadSum:
      Error(WithHexByte(WithHexByte(text::kDamagedSumFormat, file.computedSum), file.storedSum));
      break;
  }
  return true;
}

bool FlashWriteRun::OpenJob(HeldPort& held) {
  switch (flashjobs::OpenJob(held, request_.port, request_.machineId, number_, control_, {})) {
    case JobOpening::kAccepted:
      return true;
    case JobOpening::kStopped:
      return false;
    case JobOpening::kNotSent:
      PortError(LoadString(StringId::kTransmissionFailure));
      if (control_.PrinterMidMessage()) {
        PortError(text::kStartJobCutShort);
      }
      return false;
    case JobOpening::kNoAnswer:
      Error(text::kFailToRead);
      return false;
    case JobOpening::kRefused:
      Error(text::kJobNotAccepted);
      return false;
  }
  return false;
}

// The capacity reply follows the data stream; a read that brings no bytes is a failed read.
// The person confirms the flash size before anything is written.
bool FlashWriteRun::CapacityAllows(std::uint32_t length) {
  Reply reply;
  if (!ReadFromPrinter(request_.port, reply, 0) || reply.size == 0) {
    Error(text::kFailToRead);
    return false;
  }
  const std::uint32_t mbit = FlashMbit(reply);
  if (std::uint64_t{mbit} * kBytesPerMbit < length) {
    Error(text::kWriteSizeOver);
    return false;
  }
  return !Stopped() &&
         ui_.Confirm(WithDecimal(text::kWriteMbitFormat, static_cast<int>(mbit)),
                     text::kWritingConfirmation, MessageIcon::kExclamation) &&
         !Stopped();
}

bool FlashWriteRun::CloseJob(std::string_view failure) {
  if (!flashjobs::CloseJob(request_.port, number_, control_)) {
    // End Job was not even tried: the printer is in the middle of a message.
    PortError(control_.PrinterMidMessage() ? text::kJobLeftOpen : failure);
    return false;
  }
  return true;
}

}  // namespace

flashtools::ToolResult WriteDataFlashRom(const FlashWriteRequest& request,
                                         std::uint8_t& commandNumber, flashtools::UserInterface& ui,
                                         StatusDisplay& display, JobControl& control) {
  return FlashWriteRun(request, commandNumber, ui, display, control).Run();
}

flashtools::ToolResult WriteDataFlashRom(const FlashWriteRequest& request,
                                         std::uint8_t& commandNumber, flashtools::UserInterface& ui,
                                         StatusDisplay& display) {
  JobControl control;
  return WriteDataFlashRom(request, commandNumber, ui, display, control);
}

}  // namespace flashjobs
