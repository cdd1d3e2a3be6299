#include "protocol/CommandFrameBuilder.h"

#include <array>

#include "protocol/Frame.h"

namespace protocol {

int CommandFrameBuilder::StartJob(std::uint8_t* buffer, std::uint8_t number, std::uint8_t machineId,
                                  std::uint8_t jobOption) const {
  const std::array<std::uint8_t, 2> parameters{machineId, jobOption};
  WriteFrame(buffer, code::kStartJob, number, parameters);
  return 1;
}

int CommandFrameBuilder::EndJob(std::uint8_t* buffer, std::uint8_t number) const {
  const std::array<std::uint8_t, 1> parameters{0};
  WriteFrame(buffer, code::kEndJob, number, parameters);
  return 1;
}

int CommandFrameBuilder::RequestStatus(std::uint8_t* buffer, std::uint8_t number,
                                       std::uint8_t statusKind) const {
  const std::array<std::uint8_t, 2> parameters{statusKind, 0};
  WriteFrame(buffer, code::kRequestStatus, number, parameters);
  return 1;
}

int CommandFrameBuilder::DownloadFirmware(std::uint8_t* buffer, std::uint8_t number,
                                          std::uint8_t flagByte, std::uint8_t targetCode,
                                          std::uint32_t transferSize,
                                          std::uint32_t loadParameter) const {
  std::array<std::uint8_t, 12> parameters{};
  parameters[0] = flagByte;
  parameters[1] = targetCode;
  StoreU32(&parameters[2], transferSize);
  StoreU32(&parameters[6], loadParameter);
  WriteFrame(buffer, code::kDownloadFirmware, number, parameters);
  return 1;
}

int CommandFrameBuilder::ExecuteFlashWrite(std::uint8_t* buffer, std::uint8_t number,
                                           std::uint32_t writeMode,
                                           std::uint32_t dataLength) const {
  std::array<std::uint8_t, 10> parameters{};
  StoreU32(&parameters[0], writeMode);
  StoreU32(&parameters[4], dataLength);
  WriteFrame(buffer, code::kExecuteFlashWrite, number, parameters);
  return 1;
}

}  // namespace protocol
