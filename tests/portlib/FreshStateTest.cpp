// The library as a program finds it after loading, before any call has changed it.
#include <gtest/gtest.h>

#include <cstring>

#include "VopP2.h"

namespace {

TEST(FreshLibrary, StartsWithItsDefaultsAndNoFailure) {
  EXPECT_STREQ(VopP2GetMessage(), "None");
  EXPECT_EQ(VopP2GetDebugLevel(), -1);
  EXPECT_EQ(VopP2GetVersion(), VOPP2_INTERFACE_VERSION);
  const VopP2Param& p = *VopP2GetParamPtr();
  EXPECT_STREQ(p.szOutputFile, R"(C:\OUTPUT.PRN)");
  EXPECT_EQ(p.dwLptBase, 0x378U);
  EXPECT_EQ(p.dwLptNumber, 1U);
  EXPECT_EQ(p.dwLptMode, 1U);
  EXPECT_EQ(p.dwTimeOut, 10U);
  EXPECT_EQ(p.dwPollsBeforeClock, 1000U);
  EXPECT_EQ(p.dwPollsBeforeCheck, 5000U);
  EXPECT_EQ(p.dwRestoreDelay, 0U);
  EXPECT_EQ(p.dwECPNegotiationDelay, 5000U);
  EXPECT_EQ(p.dwECPTerminationDelay, 5000U);
  EXPECT_EQ(p.dwLptReceptionDelay, 30000U);
  EXPECT_EQ(p.dwLptReceptionTerminationTiming, 5000U);
  EXPECT_EQ(p.dwWriteStartTick, 0U);
  EXPECT_EQ(p.dwWriteEndTick, 0U);
  EXPECT_EQ(p.dwFifoSize, 16U);
  EXPECT_EQ(p.dwComNumber, 1U);
  EXPECT_EQ(p.dwComInQueue, 2048U);
  EXPECT_EQ(p.dwComOutQueue, 2048U);
  EXPECT_EQ(p.dwComBaudRate, 9600U);
  EXPECT_EQ(p.byComParity, 0);
  EXPECT_EQ(p.byComByteSize, 8);
  EXPECT_EQ(p.byComStopBits, 0);
  EXPECT_EQ(p.fComBinary, 1U);
  EXPECT_EQ(p.fComParity, 0U);
  EXPECT_EQ(p.fComOutxCtsFlow, 1U);
  EXPECT_EQ(p.fComOutxDsrFlow, 1U);
  EXPECT_EQ(p.dwComDtrControl, 2U);
  EXPECT_EQ(p.dwComRtsControl, 2U);
  EXPECT_EQ(p.fComOutX, 0U);
  EXPECT_EQ(p.fComInX, 0U);
  EXPECT_EQ(p.byComXonChar, 0x11);
  EXPECT_EQ(p.byComXoffChar, 0x13);
  EXPECT_EQ(p.wComXonLim, 100);
  EXPECT_EQ(p.wComXoffLim, 1500);
  EXPECT_EQ(p.wUsbVendorId, 0);
  EXPECT_EQ(p.wUsbProductId, 0);
  EXPECT_EQ(p.fForceVopUsb, 0U);
  EXPECT_EQ(p.fForceUsb11, 0U);
  EXPECT_STREQ(p.szUsbDevicePath, "");
}

}  // namespace
