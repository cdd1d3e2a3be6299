#include "Replies.h"

#include <algorithm>
#include <string_view>

#include "FrameScan.h"

namespace sim::printer {
namespace {

constexpr std::size_t kJobResult = 2;
constexpr std::size_t kControllerFirmware = 2;
constexpr std::size_t kControllerFirmwareSize = 4;
constexpr std::size_t kEngineFirmware = 20;
constexpr std::size_t kEngineFirmwareSize = 12;
constexpr std::size_t kHostStatus = 12;
constexpr std::size_t kFlashSizeCode = 10;
constexpr std::size_t kFlashStatus = 23;

constexpr std::uint8_t kConfigurationStatus = 0x02;
constexpr std::uint8_t kEngineDetailStatus = 0x81;
constexpr std::uint8_t kPrinterStatus = 0x00;
constexpr std::uint8_t kHostCommunicationError = 'l';
constexpr std::uint8_t kHostOk = ' ';

// Bytes 0 and 1 name the reply: the lead byte and the code of the command answered.
std::vector<std::uint8_t> Reply(std::uint8_t code) {
  std::vector<std::uint8_t> reply(kReplySize, 0);
  reply[0] = kLeadByte;
  reply[1] = code;
  return reply;
}

// Characters that do not fill the field read as 0, like bytes the printer does not send.
void PutText(std::vector<std::uint8_t>& reply, std::size_t at, std::size_t size,
             std::string_view text) {
  const std::size_t count = std::min(size, text.size());
  std::copy_n(text.begin(), count, reply.begin() + static_cast<std::ptrdiff_t>(at));
}

}  // namespace

std::vector<std::uint8_t> StartJobReply(bool accepted) {
  auto reply = Reply(kStartJob);
  reply[kJobResult] = accepted ? 0 : 1;
  return reply;
}

std::vector<std::uint8_t> StatusReply(std::uint8_t kind, const PrinterConfig& config) {
  auto reply = Reply(kRequestStatus);
  switch (kind) {
    case kConfigurationStatus:
      PutText(reply, kControllerFirmware, kControllerFirmwareSize, config.controllerFirmware);
      break;
    case kEngineDetailStatus:
      PutText(reply, kEngineFirmware, kEngineFirmwareSize, config.engineFirmware);
      break;
    case kPrinterStatus:
      reply[kHostStatus] = config.hostCommunicationError ? kHostCommunicationError : kHostOk;
      break;
    default:
      break;
  }
  return reply;
}

std::vector<std::uint8_t> CapacityReply(std::uint8_t flashSizeCode) {
  auto reply = Reply(kDownloadFirmware);
  reply[kFlashSizeCode] = flashSizeCode;
  return reply;
}

std::vector<std::uint8_t> FlashStatusReply(std::uint8_t status) {
  auto reply = Reply(kExecuteFlashWrite);
  reply[kFlashStatus] = status;
  return reply;
}

}  // namespace sim::printer
