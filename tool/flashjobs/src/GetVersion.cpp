#include "flashjobs/GetVersion.h"

#include <array>

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
constexpr std::size_t kControllerAt = 2;
constexpr std::size_t kEngineAt = 20;
constexpr std::size_t kHostStatusByte = 12;
constexpr std::uint8_t kConfigurationStatus = 0x02;
constexpr std::uint8_t kEngineDetailStatus = 0x81;
constexpr std::uint8_t kPrinterStatus = 0x00;
constexpr std::uint8_t kHostCommunicationError = 'l';
constexpr std::int32_t kEcpFifo = 2;
constexpr std::uint8_t kEcpReadOption = 0x10;

class VersionRun {
 public:
  VersionRun(std::uint8_t machineId, const PortTarget& port, std::uint8_t& commandNumber,
             flashtools::UserInterface& ui, const Wait& wait)
      : machineId_(machineId), port_(port), number_(commandNumber), ui_(ui), wait_(wait) {}

  ToolResult Run();

 private:
  void Failure(std::string_view message) {
    ui_.ShowMessage(message, LoadString(StringId::kErrorCaption), MessageIcon::kExclamation);
  }
  // One Request Status frame and its reply; a failure shows the port library's own text.
  bool AskStatus(std::uint8_t kind, ReplyBuffer& reply);

  std::uint8_t machineId_;
  const PortTarget& port_;
  std::uint8_t& number_;
  flashtools::UserInterface& ui_;
  const Wait& wait_;
};

ToolResult VersionRun::Run() {
  number_ = 0;
  if (!SendToPrinter(port_, BuildStartJob(number_, machineId_))) {
    Failure(LoadString(StringId::kTransmissionFailure));
    return ToolResult::kFailed;
  }
  wait_(kVersionQueryPause);
  ReplyBuffer reply{};
  if (!ReadFromPrinter(port_, reply, 0)) {
    ui_.ShowMessage(text::kFailToRead, text::kError, MessageIcon::kExclamation);
    return ToolResult::kFailed;
  }
  if (reply[kJobResultByte] != 0) {
    Failure(LoadString(StringId::kJobUnaccepted));
    return ToolResult::kFailed;
  }

  std::array<std::uint8_t, 16> characters{};
  if (!AskStatus(kConfigurationStatus, reply)) {
    return ToolResult::kFailed;
  }
  // Controller firmware travels as stored, last character first, unless it reads "EF".
  if (reply[kControllerAt] == 'E' && reply[kControllerAt + 1] == 'F') {
    std::copy_n(reply.begin() + kControllerAt, 4, characters.begin());
  } else {
    std::copy_n(reply.rend() - static_cast<std::ptrdiff_t>(kControllerAt + 4), 4,
                characters.begin());
  }
  wait_(kVersionQueryPause);
  if (!AskStatus(kEngineDetailStatus, reply)) {
    return ToolResult::kFailed;
  }
  std::copy_n(reply.begin() + kEngineAt, 12, characters.begin() + 4);
  wait_(kVersionQueryPause);
  if (!AskStatus(kPrinterStatus, reply)) {
    return ToolResult::kFailed;
  }
  if (reply[kHostStatusByte] == kHostCommunicationError) {
    Failure(text::kHostCommunicationError);
    return ToolResult::kFailed;
  }

  protocol::RaiseCommandNumber(number_);
  if (!SendToPrinter(port_, BuildEndJob(number_))) {
    Failure(LoadString(StringId::kTransmissionFailure));
    return ToolResult::kFailed;
  }
  ui_.ShowMessage(WithCharacters(text::kVersionReportFormat, characters), text::kGetVersionCaption,
                  MessageIcon::kNone);
  return ToolResult::kSucceeded;
}

bool VersionRun::AskStatus(std::uint8_t kind, ReplyBuffer& reply) {
  protocol::RaiseCommandNumber(number_);
  const std::uint8_t option = port_.transferMode == kEcpFifo ? kEcpReadOption : 0;
  if (!SendToPrinter(port_, BuildRequestStatus(number_, kind))) {
    Failure(PortLastMessage());
    return false;
  }
  wait_(kVersionQueryPause);
  if (!ReadFromPrinter(port_, reply, option)) {
    Failure(PortLastMessage());
    return false;
  }
  return true;
}

}  // namespace

flashtools::ToolResult GetVersion(std::uint8_t machineId, const PortTarget& port,
                                  std::uint8_t& commandNumber, flashtools::UserInterface& ui,
                                  const Wait& wait) {
  return VersionRun(machineId, port, commandNumber, ui, wait).Run();
}

}  // namespace flashjobs
