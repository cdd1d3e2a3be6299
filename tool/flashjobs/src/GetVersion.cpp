#include "flashjobs/GetVersion.h"

#include "JobFrames.h"
#include "PrinterLink.h"
#include "flashjobs/PrinterReplies.h"
#include "protocol/CommandNumber.h"
#include "zarnik/Strings.h"

namespace flashjobs {
namespace {

namespace text = zarnik::text;
using flashtools::MessageIcon;
using flashtools::ToolResult;
using zarnik::LoadString;
using zarnik::StringId;

constexpr std::uint8_t kConfigurationStatus = 0x02;
constexpr std::uint8_t kEngineDetailStatus = 0x81;
constexpr std::uint8_t kPrinterStatus = 0x00;
constexpr std::int32_t kEcpFifo = 2;
constexpr std::uint8_t kEcpReadOption = 0x10;

class VersionRun {
 public:
  VersionRun(std::uint8_t machineId, const PortTarget& port, std::uint8_t& commandNumber,
             flashtools::UserInterface& ui, const Wait& wait, JobControl& control)
      : machineId_(machineId),
        port_(port),
        number_(commandNumber),
        ui_(ui),
        wait_(wait),
        control_(control) {}

  ToolResult Run();

 private:
  void Failure(std::string_view message) {
    ui_.ShowMessage(message, LoadString(StringId::kErrorCaption), MessageIcon::kExclamation);
  }
  bool OpenJob(HeldPort& held);
  // One Request Status frame and its reply; a failure shows the port library's own text, a
  // reply shorter than length (none at all, or cut short) "Fail to read!". False as well when
  // a stop was asked.
  bool AskStatus(std::uint8_t kind, std::size_t length, Reply& reply);
  ToolResult StopInJob() {
    if (!CloseJob(port_, number_, control_)) {
      Failure(text::kJobLeftOpen);
    }
    return ToolResult::kFailed;
  }

  std::uint8_t machineId_;
  const PortTarget& port_;
  std::uint8_t& number_;
  flashtools::UserInterface& ui_;
  const Wait& wait_;
  JobControl& control_;
};

ToolResult VersionRun::Run() {
  control_.Enter(JobStage::kNoJob);
  HeldPort held(port_);
  if (control_.StopRequested() || !OpenJob(held)) {
    return ToolResult::kFailed;
  }
  control_.Enter(JobStage::kQuerying);

  Reply configuration;
  Reply engineDetail;
  Reply printerStatus;
  if (!AskStatus(kConfigurationStatus, kConfigurationReplyLength, configuration)) {
    return StopInJob();
  }
  wait_(kVersionQueryPause);
  if (!AskStatus(kEngineDetailStatus, kEngineDetailReplyLength, engineDetail)) {
    return StopInJob();
  }
  wait_(kVersionQueryPause);
  if (!AskStatus(kPrinterStatus, kPrinterStatusReplyLength, printerStatus)) {
    return StopInJob();
  }
  if (ReportsHostCommunicationError(printerStatus)) {
    Failure(text::kHostCommunicationError);
    return StopInJob();
  }

  if (!CloseJob(port_, number_, control_)) {
    Failure(LoadString(StringId::kTransmissionFailure));
    return ToolResult::kFailed;
  }
  ui_.ShowMessage(VersionReport(configuration, engineDetail), text::kGetVersionCaption,
                  MessageIcon::kNone);
  return ToolResult::kSucceeded;
}

bool VersionRun::OpenJob(HeldPort& held) {
  switch (flashjobs::OpenJob(held, port_, machineId_, number_, control_,
                             [this] { wait_(kVersionQueryPause); })) {
    case JobOpening::kAccepted:
      return true;
    case JobOpening::kStopped:
      return false;
    case JobOpening::kNotSent:
      Failure(LoadString(StringId::kTransmissionFailure));
      if (control_.PrinterMidMessage()) {
        Failure(text::kStartJobCutShort);
      }
      return false;
    case JobOpening::kNoAnswer:
      ui_.ShowMessage(text::kFailToRead, text::kError, MessageIcon::kExclamation);
      return false;
    case JobOpening::kRefused:
      Failure(LoadString(StringId::kJobUnaccepted));
      return false;
  }
  return false;
}

bool VersionRun::AskStatus(std::uint8_t kind, std::size_t length, Reply& reply) {
  if (control_.StopRequested()) {
    return false;
  }
  protocol::RaiseCommandNumber(number_);
  const std::uint8_t option = port_.transferMode == kEcpFifo ? kEcpReadOption : 0;
  if (!SendToPrinter(port_, BuildRequestStatus(number_, kind), control_)) {
    Failure(PortLastMessage());
    return false;
  }
  wait_(kVersionQueryPause);
  if (!ReadFromPrinter(port_, reply, option)) {
    Failure(PortLastMessage());
    return false;
  }
  // The port library took no failure, so it has no text of its own to show.
  if (reply.size < length) {
    Failure(text::kFailToRead);
    return false;
  }
  return true;
}

}  // namespace

flashtools::ToolResult GetVersion(std::uint8_t machineId, const PortTarget& port,
                                  std::uint8_t& commandNumber, flashtools::UserInterface& ui,
                                  const Wait& wait, JobControl& control) {
  return VersionRun(machineId, port, commandNumber, ui, wait, control).Run();
}

flashtools::ToolResult GetVersion(std::uint8_t machineId, const PortTarget& port,
                                  std::uint8_t& commandNumber, flashtools::UserInterface& ui,
                                  const Wait& wait) {
  JobControl control;
  return GetVersion(machineId, port, commandNumber, ui, wait, control);
}

}  // namespace flashjobs
