#include "LibraryState.h"

#include <cstddef>
#include <cstring>

namespace vopp2 {

// The caller writes the block by offset, so its layout is part of the interface.
static_assert(sizeof(VopP2Param) == 0x28C);
static_assert(offsetof(VopP2Param, szOutputFile) == 0x000);
static_assert(offsetof(VopP2Param, dwLptBase) == 0x104);
static_assert(offsetof(VopP2Param, dwLptNumber) == 0x108);
static_assert(offsetof(VopP2Param, dwLptMode) == 0x10C);
static_assert(offsetof(VopP2Param, dwTimeOut) == 0x110);
static_assert(offsetof(VopP2Param, dwPollsBeforeClock) == 0x114);
static_assert(offsetof(VopP2Param, dwPollsBeforeCheck) == 0x118);
static_assert(offsetof(VopP2Param, dwRestoreDelay) == 0x11C);
static_assert(offsetof(VopP2Param, dwECPNegotiationDelay) == 0x120);
static_assert(offsetof(VopP2Param, dwECPTerminationDelay) == 0x124);
static_assert(offsetof(VopP2Param, dwLptReceptionDelay) == 0x128);
static_assert(offsetof(VopP2Param, dwLptReceptionTerminationTiming) == 0x12C);
static_assert(offsetof(VopP2Param, dwWriteStartTick) == 0x130);
static_assert(offsetof(VopP2Param, dwWriteEndTick) == 0x134);
static_assert(offsetof(VopP2Param, dwFifoSize) == 0x138);
static_assert(offsetof(VopP2Param, dwReserved13C) == 0x13C);
static_assert(offsetof(VopP2Param, dwComNumber) == 0x140);
static_assert(offsetof(VopP2Param, dwComInQueue) == 0x144);
static_assert(offsetof(VopP2Param, dwComOutQueue) == 0x148);
static_assert(offsetof(VopP2Param, dwComBaudRate) == 0x14C);
static_assert(offsetof(VopP2Param, byComParity) == 0x150);
static_assert(offsetof(VopP2Param, byComByteSize) == 0x151);
static_assert(offsetof(VopP2Param, byComStopBits) == 0x152);
static_assert(offsetof(VopP2Param, byReserved153) == 0x153);
static_assert(offsetof(VopP2Param, fComBinary) == 0x154);
static_assert(offsetof(VopP2Param, fComParity) == 0x158);
static_assert(offsetof(VopP2Param, fComOutxCtsFlow) == 0x15C);
static_assert(offsetof(VopP2Param, fComOutxDsrFlow) == 0x160);
static_assert(offsetof(VopP2Param, dwComDtrControl) == 0x164);
static_assert(offsetof(VopP2Param, dwComRtsControl) == 0x168);
static_assert(offsetof(VopP2Param, fComOutX) == 0x16C);
static_assert(offsetof(VopP2Param, fComInX) == 0x170);
static_assert(offsetof(VopP2Param, byComXonChar) == 0x174);
static_assert(offsetof(VopP2Param, byComXoffChar) == 0x175);
static_assert(offsetof(VopP2Param, wComXonLim) == 0x176);
static_assert(offsetof(VopP2Param, wComXoffLim) == 0x178);
static_assert(offsetof(VopP2Param, wUsbVendorId) == 0x17A);
static_assert(offsetof(VopP2Param, wUsbProductId) == 0x17C);
static_assert(offsetof(VopP2Param, wReserved17E) == 0x17E);
static_assert(offsetof(VopP2Param, fForceVopUsb) == 0x180);
static_assert(offsetof(VopP2Param, fForceUsb11) == 0x184);
static_assert(offsetof(VopP2Param, szUsbDevicePath) == 0x188);

namespace {

VopP2Param DefaultParam() {
  VopP2Param param{};
  std::strcpy(param.szOutputFile, R"(C:\OUTPUT.PRN)");
  param.dwLptBase = 0x378;
  param.dwLptNumber = 1;
  param.dwLptMode = 1;
  param.dwTimeOut = 10;
  param.dwPollsBeforeClock = 1000;
  param.dwPollsBeforeCheck = 5000;
  param.dwRestoreDelay = 0;
  param.dwECPNegotiationDelay = 5000;
  param.dwECPTerminationDelay = 5000;
  param.dwLptReceptionDelay = 30000;
  param.dwLptReceptionTerminationTiming = 5000;
  param.dwFifoSize = 16;
  param.dwComNumber = 1;
  param.dwComInQueue = 2048;
  param.dwComOutQueue = 2048;
  param.dwComBaudRate = 9600;
  param.byComParity = 0;
  param.byComByteSize = 8;
  param.byComStopBits = 0;
  param.fComBinary = 1;
  param.fComParity = 0;
  param.fComOutxCtsFlow = 1;
  param.fComOutxDsrFlow = 1;
  param.dwComDtrControl = 2;
  param.dwComRtsControl = 2;
  param.fComOutX = 0;
  param.fComInX = 0;
  param.byComXonChar = 0x11;
  param.byComXoffChar = 0x13;
  param.wComXonLim = 100;
  param.wComXoffLim = 1500;
  return param;
}

LibraryState InitialState() {
  LibraryState state{};
  state.param = DefaultParam();
  std::strcpy(state.szMessage, "None");
  state.nDebugLevel = -1;
  state.hFile = platform::kInvalidHandle;
  state.hLpt = platform::kInvalidHandle;
  state.hCom = platform::kInvalidHandle;
  state.hUsb = platform::kInvalidHandle;
  state.hUsbRead = platform::kInvalidHandle;
  state.hUsbWrite = platform::kInvalidHandle;
  state.VopUsb_hUsb = -1;
  state.dwEcpState = 0;
  return state;
}

}  // namespace

LibraryState& Library() {
  static LibraryState state = InitialState();
  return state;
}

}  // namespace vopp2
