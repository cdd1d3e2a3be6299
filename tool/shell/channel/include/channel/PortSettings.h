// The process-wide port settings: the values of the settings file's "System" section that are
// pushed into the port library before every call. Filled once at start-up.
#pragma once

#include <cstdint>

namespace channel {

struct PortSettings {
  std::int32_t debugLevel = -1;
  std::int32_t timeOut = 10;
  std::int32_t restoreDelay = 0;
  std::int32_t ecpNegotiationDelay = 5000;
  std::int32_t ecpTerminationDelay = 5000;
  std::int32_t lptReceptionDelay = 30000;
  std::int32_t lptReceptionTerminationTiming = 5000;
  std::uint16_t usbVendorId = 0;
  std::uint16_t usbProductId = 0;
  std::int32_t forceVopUsb = 0;
  std::int32_t forceUsb11 = 0;
  char usbDevicePath[260] = {};
};

// The one record of the process.
PortSettings& ProcessPortSettings();

}  // namespace channel
