#include <numeric>

#include "PrinterPort.h"
#include "VopP2Fixture.h"

namespace {

using sim::ComOperation;

class ComPort : public VopP2Test {
 protected:
  void SetUp() override {
    VopP2Test::SetUp();
    line = AttachCom();
  }
  std::vector<std::uint8_t> Pattern(std::size_t size) {
    std::vector<std::uint8_t> bytes(size);
    std::iota(bytes.begin(), bytes.end(), std::uint8_t{0});
    return bytes;
  }
  std::int32_t Write(const std::vector<std::uint8_t>& bytes, std::uint32_t* written = nullptr) {
    std::uint32_t spare = 0;
    return VopP2Write(PORT_COM, bytes.data(), static_cast<std::uint32_t>(bytes.size()),
                      written != nullptr ? written : &spare);
  }
  std::shared_ptr<sim::ComLine> line;
};

TEST_F(ComPort, OpenAppliesTheParameterBlockAndKeepsTheRest) {
  platform::CommState system = line->LineSettings();
  system.fDsrSensitivity = 1;
  system.fTXContinueOnXoff = 1;
  system.fAbortOnError = 1;
  system.ErrorChar = '?';
  system.EofChar = 0x1A;
  system.EvtChar = 0x7E;
  line->SetLineSettings(system);

  ASSERT_EQ(VopP2Open(PORT_COM), 1);
  const platform::CommState set = line->LineSettings();
  EXPECT_EQ(set.BaudRate, 9600U);
  EXPECT_EQ(set.ByteSize, 8);
  EXPECT_EQ(set.Parity, 0);
  EXPECT_EQ(set.StopBits, 0);
  EXPECT_EQ(set.fBinary, 1U);
  EXPECT_EQ(set.fParity, 0U);
  EXPECT_EQ(set.fOutxCtsFlow, 1U);
  EXPECT_EQ(set.fOutxDsrFlow, 1U);
  EXPECT_EQ(set.fDtrControl, platform::kDtrControlHandshake);
  EXPECT_EQ(set.fRtsControl, platform::kRtsControlHandshake);
  EXPECT_EQ(set.fOutX, 0U);
  EXPECT_EQ(set.fInX, 0U);
  EXPECT_EQ(set.XonChar, 0x11);
  EXPECT_EQ(set.XoffChar, 0x13);
  EXPECT_EQ(set.XonLim, 100);
  EXPECT_EQ(set.XoffLim, 1500);
  EXPECT_EQ(set.fDsrSensitivity, 1U);
  EXPECT_EQ(set.fTXContinueOnXoff, 1U);
  EXPECT_EQ(set.fAbortOnError, 1U);
  EXPECT_EQ(set.ErrorChar, '?');
  EXPECT_EQ(set.EofChar, 0x1A);
  EXPECT_EQ(set.EvtChar, 0x7E);
  EXPECT_EQ(line->CommMask(), 0U);
  EXPECT_EQ(line->InQueue(), 2048U);
  EXPECT_EQ(line->OutQueue(), 2048U);
  const platform::CommTimeouts timeouts = line->Timeouts();
  EXPECT_EQ(timeouts.ReadIntervalTimeout, 50U);
  EXPECT_EQ(timeouts.ReadTotalTimeoutConstant, 1500U);
  EXPECT_EQ(timeouts.WriteTotalTimeoutMultiplier, 2U);
  EXPECT_EQ(timeouts.WriteTotalTimeoutConstant, 10000U);
}

TEST_F(ComPort, PortNumberNamesTheDevice) {
  auto com3 = AttachCom(R"(\\.\COM3)");
  param().dwComNumber = 3;
  ASSERT_EQ(VopP2Open(PORT_COM), 1);
  EXPECT_TRUE(com3->IsOpen());
  EXPECT_FALSE(line->IsOpen());
}

TEST_F(ComPort, WritesGoInChunksOfTheOutputQueue) {
  const auto data = Pattern(5000);
  std::uint32_t written = 0;
  EXPECT_EQ(Write(data, &written), 1);
  EXPECT_EQ(line->WriteRequests(), (std::vector<std::uint32_t>{2048, 2048, 904}));
  EXPECT_EQ(line->Written(), data);
  EXPECT_EQ(written, 5000U);
  EXPECT_FALSE(line->IsOpen());  // opened and closed by the write

  line->ClearWritten();
  EXPECT_EQ(Write({}), 1);
  EXPECT_EQ(line->WriteRequests(), (std::vector<std::uint32_t>{0}));

  line->ClearWritten();
  param().dwComOutQueue = 0;  // no chunk size: everything at once, never a loop of nothing
  EXPECT_EQ(Write(Pattern(3000)), 1);
  EXPECT_EQ(line->WriteRequests(), (std::vector<std::uint32_t>{3000}));
}

TEST_F(ComPort, ShortWritesFinishTheirChunk) {
  line->LimitWrites(1000);
  const auto data = Pattern(5000);
  EXPECT_EQ(Write(data), 1);
  EXPECT_EQ(line->Written(), data);
  EXPECT_EQ(line->WriteRequests(),
            (std::vector<std::uint32_t>{2048, 1048, 48, 2048, 1048, 48, 904}));
}

TEST_F(ComPort, AStalledLineFailsTheWriteInsteadOfDroppingData) {
  line->LimitWrites(0);
  std::uint32_t written = 0;
  EXPECT_EQ(Write(Pattern(100), &written), 0);
  EXPECT_EQ(message(), "VopP2Write(COMx) : failure\n");
  EXPECT_FALSE(line->IsOpen());
}

TEST_F(ComPort, AWriteThatStallsCountsEveryByteTheLineTook) {
  auto stalling = std::make_shared<PrinterPort>();
  stalling->stallAfter = 3000;  // in the middle of the second 2048-byte chunk
  machine.AttachDevice(R"(\\.\COM2)", stalling);
  param().dwComNumber = 2;
  std::uint32_t written = 0;
  EXPECT_EQ(Write(Pattern(5000), &written), 0);
  EXPECT_EQ(written, 3000U);
}

TEST_F(ComPort, FailedSystemWriteOrReadClosesThePort) {
  ASSERT_EQ(VopP2Open(PORT_COM), 1);
  line->Fail(ComOperation::kWrite, platform::kErrorIoDevice);
  EXPECT_EQ(Write(Pattern(10)), 0);
  EXPECT_EQ(message(), "VopP2Write(COMx) : failure\n");
  EXPECT_FALSE(line->IsOpen());

  line->Heal(ComOperation::kWrite);
  ASSERT_EQ(VopP2Open(PORT_COM), 1);
  line->Fail(ComOperation::kRead, platform::kErrorIoDevice);
  std::uint8_t buffer[8];
  std::uint32_t read = 0;
  EXPECT_EQ(VopP2Read(PORT_COM, buffer, sizeof buffer, &read, 0), 0);
  EXPECT_EQ(message(), "VopP2ReadCom(COMx) : failure\n");
  EXPECT_FALSE(line->IsOpen());
  EXPECT_EQ(machine.OpenHandleCount(), 0U);
}

TEST_F(ComPort, ASecondOpenSucceedsAtOnceWithoutASecondHandle) {
  ASSERT_EQ(VopP2Open(PORT_COM), 1);
  EXPECT_EQ(VopP2Open(PORT_COM), 1);
  EXPECT_EQ(line->OpenCount(), 1);
  EXPECT_EQ(machine.OpenHandleCount(), 1U);
  EXPECT_EQ(message(), messageAtStart);  // no failure reported
  EXPECT_EQ(Write(Pattern(3)), 1);
  EXPECT_TRUE(line->IsOpen());  // the caller's open stays
  VopP2Close(PORT_COM);
  EXPECT_EQ(machine.OpenHandleCount(), 0U);
}

TEST_F(ComPort, EachRefusedOpenStepHasItsTextAndClosesThePort) {
  const std::pair<ComOperation, const char*> steps[] = {
      {ComOperation::kSetCommMask, "VopP2Open:SetCommMask(PORT_COM) : failure\n"},
      {ComOperation::kSetupComm, "VopP2Open:SetupComm(PORT_COM) : failure\n"},
      {ComOperation::kSetCommState, "VopP2Open:SetCommState(PORT_COM) : failure\n"},
      {ComOperation::kSetCommTimeouts, "VopP2Open:SetCommTimeouts(PORT_COM) : failure\n"},
  };
  for (const auto& [operation, text] : steps) {
    line->Fail(operation, platform::kErrorInvalidParameter);
    EXPECT_EQ(VopP2Open(PORT_COM), 0);
    EXPECT_EQ(message(), text);
    EXPECT_FALSE(line->IsOpen());
    line->Heal(operation);
  }
  line->Fail(ComOperation::kGetCommState, platform::kErrorInvalidParameter);
  EXPECT_EQ(VopP2Open(PORT_COM), 1);  // its result is not looked at
  VopP2Close(PORT_COM);

  line->Fail(ComOperation::kOpen, platform::kErrorAccessDenied);
  std::uint32_t written = 9;
  EXPECT_EQ(Write(Pattern(4), &written), 0);
  EXPECT_EQ(written, 0U);
  EXPECT_EQ(message(), "VopP2Open:CreateFile(PORT_COM) : failure (00000005h)\n");
}

TEST_F(ComPort, ReadsGiveWhatTheLineDeliversEvenNothing) {
  const std::uint8_t reply[] = {0x02, 0x00, 0x17};
  line->Deliver(reply);
  std::uint8_t buffer[16] = {};
  std::uint32_t read = 0;
  EXPECT_EQ(VopP2Read(PORT_COM, buffer, sizeof buffer, &read, 4), 1);
  EXPECT_EQ(read, 3U);
  EXPECT_EQ(buffer[2], 0x17);
  EXPECT_FALSE(line->IsOpen());

  line->SetSilent(true);
  read = 5;
  EXPECT_EQ(VopP2Read(PORT_COM, buffer, sizeof buffer, &read, 0), 1);
  EXPECT_EQ(read, 0U);
  EXPECT_EQ(message(), messageAtStart);  // no failure reported
}

}  // namespace
