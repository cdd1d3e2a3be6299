// The three direct-access write modes: Standard (one byte per Busy test, strobed by hand),
// ParallelPortFIFO and ECPFIFO (dwFifoSize bytes per FIFO-empty test, the port's FIFO doing
// the handshake), and the ECP sequence around the ECPFIFO write.
#include <algorithm>

#include "Diagnostics.h"
#include "LibraryState.h"
#include "LptDirect.h"
#include "LptLines.h"
#include "LptRegisters.h"
#include "Transports.h"
#include "platform/Services.h"
#include "platform/WriteProgress.h"

namespace vopp2 {
namespace {

// The request and ECR values of the negotiation before an ECPFIFO write.
constexpr std::uint8_t kEcpModeRequest = 0x10;

struct FifoMode {
  const char* name;
  std::uint8_t ecr;
  const char* nullText;
  const char* timeOutText;
};

constexpr FifoMode kParallelPortFifoMode{
    "VopP2WriteLptParallelPortFIFO", kEcrParallelFifo,
    "VopP2WriteLptParallelPortFIFO : failure (lpData == NULL)\n",
    "VopP2WriteLptParallelPortFIFO : failure (Time out)\n"};
constexpr FifoMode kEcpFifoMode{"VopP2WriteLptECPFIFO", kEcrEcp,
                                "VopP2WriteLptECPFIFO : failure (lpData == NULL)\n",
                                "VopP2WriteLptECPFIFO : failure (Time out)\n"};

// The start of every direct write: nothing written yet, the start tick noted.
void StartWrite(std::uint32_t& written) {
  VopP2Param& param = Library().param;
  written = 0;
  param.dwWriteEndTick = 0;
  param.dwWriteStartTick = platform::Current().GetTickCount();
  platform::BeginWriteCount();
}

bool WaitFifoEmpty(BusyWaitClock& clock) {
  clock.Restart();
  while ((ReadRegister(kEcr) & kEcrFifoEmpty) == 0) {
    if (clock.Expired()) {
      return false;
    }
  }
  return true;
}

// The FIFO writes leave the ECR as they found it only when they succeed.
std::int32_t WriteFifo(const FifoMode& mode, const std::uint8_t* lpData, std::uint32_t dwDataLength,
                       std::uint32_t& written) {
  const std::uint8_t savedEcr = ReadRegister(kEcr);
  WriteRegister(kEcr, mode.ecr);
  StartWrite(written);
  if (lpData == nullptr) {
    ReportFailure("%s", mode.nullText);
    return 0;
  }
  VopP2Param& param = Library().param;
  // A FIFO size of 0 would never move on; one byte per test is the least that does.
  const std::uint32_t chunk = std::max<std::uint32_t>(param.dwFifoSize, 1);
  // Bytes count as written once they are in the FIFO: after a time-out some of them may have
  // reached the printer, so a caller must not take the write for one that sent nothing. The
  // printer is counted as having taken them only once the FIFO was seen empty after them.
  std::uint32_t queued = 0;
  BusyWaitClock clock;
  const auto drained = [&] {
    if (!WaitFifoEmpty(clock)) {
      ReportFailure("%s", mode.timeOutText);
      return false;
    }
    platform::CountBytesTaken(queued);
    return true;
  };
  while (queued < dwDataLength) {
    if (!drained()) {
      return 0;
    }
    const std::uint32_t count = std::min(dwDataLength - queued, chunk);
    for (std::uint32_t i = 0; i < count; ++i) {
      WriteRegister(kEcpFifo, lpData[queued + i]);
    }
    queued += count;
    written = queued;
  }
  // The last bytes must have left before the mode changes back (that empties the FIFO);
  // this wait is bounded by the same clock.
  if (!drained()) {
    return 0;
  }
  param.dwWriteEndTick = platform::Current().GetTickCount();
  if (param.dwRestoreDelay > 0) {
    platform::Current().Sleep(param.dwRestoreDelay);
  }
  WriteRegister(kEcr, savedEcr);
  return 1;
}

}  // namespace

std::int32_t VopP2WriteLptStandard(const std::uint8_t* lpData, std::uint32_t dwDataLength,
                                   std::uint32_t& written) {
  DebugLine(kLevelModeFunction, "VopP2WriteLptStandard\n");
  written = 0;
  return OnPort("VopP2WriteLptStandard", [&] {
    const std::uint8_t control = ReadRegister(kControlRegister);
    const auto strobeOn = static_cast<std::uint8_t>(control | kNStrobe);
    const auto idle = static_cast<std::uint8_t>(control & ~kNStrobe);
    StartWrite(written);
    if (lpData == nullptr) {
      ReportFailure("VopP2WriteLptStandard : failure (lpData == NULL)\n");
      return 0;
    }
    BusyWaitClock clock;
    for (std::uint32_t i = 0; i < dwDataLength; ++i) {
      clock.Restart();
      while (!TestLptStatusLines(0, kBusy)) {
        if (clock.Expired()) {
          ReportFailure("VopP2WriteLptStandard : failure (Time out)\n");
          return 0;
        }
      }
      WriteRegister(kDataRegister, lpData[i]);
      WriteRegister(kControlRegister, strobeOn);  // the strobe lasts one port write
      WriteRegister(kControlRegister, idle);
      ++written;
      platform::CountBytesTaken(written);
    }
    Library().param.dwWriteEndTick = platform::Current().GetTickCount();
    return 1;
  });
}

std::int32_t VopP2WriteLptParallelPortFIFO(const std::uint8_t* lpData, std::uint32_t dwDataLength,
                                           std::uint32_t& written) {
  DebugLine(kLevelModeFunction, "VopP2WriteLptParallelPortFIFO\n");
  written = 0;
  return OnPort(kParallelPortFifoMode.name,
                [&] { return WriteFifo(kParallelPortFifoMode, lpData, dwDataLength, written); });
}

std::int32_t VopP2WriteLptECPFIFO(const std::uint8_t* lpData, std::uint32_t dwDataLength,
                                  std::uint32_t& written) {
  DebugLine(kLevelModeFunction, "VopP2WriteLptECPFIFO\n");
  written = 0;
  return OnPort(kEcpFifoMode.name, [&] {
    SetLptControlLines(kNAutoFd, 0);  // HostAck high: the bytes go as data, not commands
    return WriteFifo(kEcpFifoMode, lpData, dwDataLength, written);
  });
}

std::int32_t WriteLptDirect(const std::uint8_t* lpData, std::uint32_t dwDataLength,
                            std::uint32_t& written) {
  written = 0;
  switch (Library().param.dwLptMode) {
    case kLptModeParallelPortFifo:
      return LeaveNegotiatedEcp() ? VopP2WriteLptParallelPortFIFO(lpData, dwDataLength, written)
                                  : 0;
    case kLptModeEcpFifo:
      // One claim for the three steps; every ECPFIFO write ends in compatibility mode, also
      // when the caller negotiated beforehand.
      return OnPort("VopP2WriteLpt", [&] {
        if (Library().dwEcpState == 0 &&
            ECPNegotiateLPTWithVopP2(kEcpModeRequest, kEcrStandardUnmasked, kEcrByte) == 0) {
          return 0;
        }
        const std::int32_t result = VopP2WriteLptECPFIFO(lpData, dwDataLength, written);
        ECPTerminateLPTWithVopP2();
        return result;
      });
    default:
      return LeaveNegotiatedEcp() ? VopP2WriteLptStandard(lpData, dwDataLength, written) : 0;
  }
}

}  // namespace vopp2
