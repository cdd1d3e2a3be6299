#include "channel/PortChannel.h"

#include <algorithm>
#include <atomic>
#include <cstring>
#include <iterator>

#include "VopP2.h"
#include "channel/PortSettings.h"
#include "platform/FailureReason.h"

namespace channel {
namespace {

// Copies a text into a fixed field of the parameter block, cut to leave room for its end.
template <std::size_t N>
void CopyText(char (&field)[N], const char* text) {
  std::size_t length = 0;
  while (text != nullptr && length < N - 1 && text[length] != '\0') {
    ++length;
  }
  std::fill(std::begin(field), std::end(field), '\0');
  if (length > 0) {
    std::memcpy(field, text, length);
  }
}

// The port settings record goes into the library before every write and read. Only these
// fields are touched; the rest of the block keeps the library's values.
void PushPortSettings() {
  const PortSettings& record = ProcessPortSettings();
  VopP2SetDebugLevel(record.debugLevel);
  VopP2Param* param = VopP2GetParamPtr();
  param->dwTimeOut = static_cast<std::uint32_t>(record.timeOut);
  param->dwRestoreDelay = static_cast<std::uint32_t>(record.restoreDelay);
  param->dwECPNegotiationDelay = static_cast<std::uint32_t>(record.ecpNegotiationDelay);
  param->dwECPTerminationDelay = static_cast<std::uint32_t>(record.ecpTerminationDelay);
  param->dwLptReceptionDelay = static_cast<std::uint32_t>(record.lptReceptionDelay);
  param->dwLptReceptionTerminationTiming =
      static_cast<std::uint32_t>(record.lptReceptionTerminationTiming);
  param->wUsbVendorId = record.usbVendorId;
  param->wUsbProductId = record.usbProductId;
  param->fForceVopUsb = static_cast<std::uint32_t>(record.forceVopUsb);
  param->fForceUsb11 = static_cast<std::uint32_t>(record.forceUsb11);
  CopyText(param->szUsbDevicePath, record.usbDevicePath);
}

std::uint32_t LptModeOf(std::int32_t transferMode) {
  return static_cast<std::uint32_t>(transferMode) + 1U;
}

std::atomic<bool> lastCallFailed{false};
std::atomic<bool> lastCallNamedNoPort{false};

std::int32_t Noted(std::int32_t result, std::int32_t portCode) {
  lastCallFailed.store(result == 0);
  lastCallNamedNoPort.store(portCode == 0);
  return result;
}

// What a write, and an open that may open the capture file, hand the library first.
void PrepareForWrite(std::int32_t transferMode, const char* outputFile) {
  VopP2Param* param = VopP2GetParamPtr();
  param->dwLptMode = LptModeOf(transferMode);
  CopyText(param->szOutputFile, outputFile);
  PushPortSettings();
  platform::ClearFailureReason();
}

}  // namespace

std::int32_t PortCodeOf(std::int32_t portKind) {
  switch (portKind) {
    case 0:
      return PORT_FILE;
    case 1:
      return PORT_LPT;
    case 2:
      return PORT_FILE | PORT_LPT;
    case 3:
      return PORT_USB;
    default:
      return 0;
  }
}

std::int32_t PortChannel::Open(std::int32_t portKind, std::int32_t transferMode,
                               const char* outputFile) {
  PrepareForWrite(transferMode, outputFile);
  const std::int32_t port = PortCodeOf(portKind);
  return Noted(VopP2Open(port), port);
}

std::int32_t PortChannel::Close(std::int32_t portKind) {
  return VopP2Close(PortCodeOf(portKind));
}

std::int32_t PortChannel::Write(std::int32_t portKind, std::int32_t transferMode,
                                const std::uint8_t* data, std::uint32_t length,
                                std::uint32_t* written, const char* outputFile) {
  PrepareForWrite(transferMode, outputFile);
  const std::int32_t port = PortCodeOf(portKind);
  return Noted(VopP2Write(port, data, length, written), port);
}

std::int32_t PortChannel::Read(std::int32_t portKind, std::int32_t transferMode,
                               std::uint8_t* buffer, std::uint32_t capacity,
                               std::uint8_t readOption, std::uint32_t* received) {
  VopP2GetParamPtr()->dwLptMode = LptModeOf(transferMode);
  PushPortSettings();
  platform::ClearFailureReason();
  const std::int32_t port = PortCodeOf(portKind);
  return Noted(VopP2Read(port, buffer, capacity, received, readOption), port);
}

std::int32_t PortChannel::InitLptPort() {
  platform::ClearFailureReason();
  return VopP2InitLPTPort();
}

const char* PortChannel::LastMessage() {
  return VopP2GetMessage();
}

bool LastCallFailed() {
  return lastCallFailed.load();
}

bool LastCallNamedNoPort() {
  return lastCallNamedNoPort.load();
}

void ForgetLastCall() {
  lastCallFailed.store(false);
  platform::ClearFailureReason();
}

}  // namespace channel
