// Builds the command frames the tools send to the printer. Each operation writes every byte
// of its frame, sum included, into the caller's buffer (at least the frame's size) and
// returns 1.
#pragma once

#include <cstddef>
#include <cstdint>

#include "protocol/CommandCodes.h"

namespace protocol {

class CommandFrameBuilder {
 public:
  static constexpr std::size_t kStartJobSize = FrameSize(2);
  static constexpr std::size_t kEndJobSize = FrameSize(1);
  static constexpr std::size_t kRequestStatusSize = FrameSize(2);
  static constexpr std::size_t kDownloadFirmwareSize = FrameSize(12);
  static constexpr std::size_t kExecuteFlashWriteSize = FrameSize(10);
  // The job option every tool sends with Start Job.
  static constexpr std::uint8_t kJobOption = 0x10;

  int StartJob(std::uint8_t* buffer, std::uint8_t number, std::uint8_t machineId,
               std::uint8_t jobOption) const;
  int EndJob(std::uint8_t* buffer, std::uint8_t number) const;
  int RequestStatus(std::uint8_t* buffer, std::uint8_t number, std::uint8_t statusKind) const;
  int DownloadFirmware(std::uint8_t* buffer, std::uint8_t number, std::uint8_t flagByte,
                       std::uint8_t targetCode, std::uint32_t transferSize,
                       std::uint32_t loadParameter) const;
  int ExecuteFlashWrite(std::uint8_t* buffer, std::uint8_t number, std::uint32_t writeMode,
                        std::uint32_t dataLength) const;
};

}  // namespace protocol
