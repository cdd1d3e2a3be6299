#include "JobFrames.h"

namespace flashjobs {

StartJobFrame BuildStartJob(std::uint8_t number, std::uint8_t machineId) {
  StartJobFrame frame{};
  protocol::CommandFrameBuilder().StartJob(frame.data(), number, machineId,
                                           protocol::CommandFrameBuilder::kJobOption);
  return frame;
}

EndJobFrame BuildEndJob(std::uint8_t number) {
  EndJobFrame frame{};
  protocol::CommandFrameBuilder().EndJob(frame.data(), number);
  return frame;
}

RequestStatusFrame BuildRequestStatus(std::uint8_t number, std::uint8_t statusKind) {
  RequestStatusFrame frame{};
  protocol::CommandFrameBuilder().RequestStatus(frame.data(), number, statusKind);
  return frame;
}

DownloadFirmwareFrame BuildDownloadFirmware(std::uint8_t number, std::uint8_t flag,
                                            std::uint8_t targetCode, std::uint32_t transferSize,
                                            std::uint32_t loadParameter) {
  DownloadFirmwareFrame frame{};
  protocol::CommandFrameBuilder().DownloadFirmware(frame.data(), number, flag, targetCode,
                                                   transferSize, loadParameter);
  return frame;
}

ExecuteFlashWriteFrame BuildExecuteFlashWrite(std::uint8_t number, std::uint32_t writeMode,
                                              std::uint32_t dataLength) {
  ExecuteFlashWriteFrame frame{};
  protocol::CommandFrameBuilder().ExecuteFlashWrite(frame.data(), number, writeMode, dataLength);
  return frame;
}

}  // namespace flashjobs
