// The replies the printer sends. Each is one buffer; the tools read only fixed positions, so
// every reply is long enough to hold the highest of them and carries zeros elsewhere.
#pragma once

#include <cstdint>
#include <vector>

#include "sim/printer/PrinterConfig.h"

namespace sim::printer {

inline constexpr std::size_t kReplySize = 32;

std::vector<std::uint8_t> StartJobReply(bool accepted);
std::vector<std::uint8_t> StatusReply(std::uint8_t kind, const PrinterConfig& config);
std::vector<std::uint8_t> CapacityReply(std::uint8_t flashSizeCode);
std::vector<std::uint8_t> FlashStatusReply(std::uint8_t status);

}  // namespace sim::printer
