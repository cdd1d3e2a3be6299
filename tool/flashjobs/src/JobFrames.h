// The frames of the printer-facing procedures, each in a buffer of its own size.
#pragma once

#include <array>
#include <cstdint>

#include "protocol/CommandFrameBuilder.h"

namespace flashjobs {

using StartJobFrame = std::array<std::uint8_t, protocol::CommandFrameBuilder::kStartJobSize>;
using EndJobFrame = std::array<std::uint8_t, protocol::CommandFrameBuilder::kEndJobSize>;
using RequestStatusFrame =
    std::array<std::uint8_t, protocol::CommandFrameBuilder::kRequestStatusSize>;
using DownloadFirmwareFrame =
    std::array<std::uint8_t, protocol::CommandFrameBuilder::kDownloadFirmwareSize>;
using ExecuteFlashWriteFrame =
    std::array<std::uint8_t, protocol::CommandFrameBuilder::kExecuteFlashWriteSize>;

StartJobFrame BuildStartJob(std::uint8_t number, std::uint8_t machineId);
EndJobFrame BuildEndJob(std::uint8_t number);
RequestStatusFrame BuildRequestStatus(std::uint8_t number, std::uint8_t statusKind);
DownloadFirmwareFrame BuildDownloadFirmware(std::uint8_t number, std::uint8_t flag,
                                            std::uint8_t targetCode, std::uint32_t transferSize,
                                            std::uint32_t loadParameter);
ExecuteFlashWriteFrame BuildExecuteFlashWrite(std::uint8_t number, std::uint32_t writeMode,
                                              std::uint32_t dataLength);

}  // namespace flashjobs
