// The parallel port by direct register access (Windows 95, 98 and Me) through the real
// library, on the simulated machine's port chip with an IEEE 1284 printer on the cable.
#include <algorithm>
#include <deque>
#include <numeric>
#include <optional>
#include <tuple>

#include "VopP2Fixture.h"
#include "sim/ParallelPortChip.h"
#include "sim/VersionRecords.h"
#include "sim/printer/Ieee1284Printer.h"

namespace {

using Bytes = std::vector<std::uint8_t>;
using Journal = std::vector<std::string>;

// The printer behind the interface: keeps what it is sent, answers with queued replies.
class ScriptedPrinter final : public sim::Device {
 public:
  sim::IoResult Write(std::span<const std::uint8_t> data) override {
    received.insert(received.end(), data.begin(), data.end());
    return sim::IoResult::Done(static_cast<std::uint32_t>(data.size()));
  }
  sim::IoResult Read(std::span<std::uint8_t> buffer) override {
    if (replies.empty()) {
      return sim::IoResult::Done(0);
    }
    const Bytes reply = replies.front();
    replies.pop_front();
    std::copy(reply.begin(), reply.end(), buffer.begin());
    return sim::IoResult::Done(static_cast<std::uint32_t>(reply.size()));
  }
  sim::IoResult IoControl(std::uint32_t /*code*/, std::span<const std::uint8_t> /*in*/,
                          std::span<std::uint8_t> out) override {
    std::copy(deviceId.begin(), deviceId.end(), out.begin());
    return sim::IoResult::Done(static_cast<std::uint32_t>(deviceId.size()));
  }
  Bytes received;
  std::deque<Bytes> replies;
  std::string deviceId = "MFG:Z;MDL:Q;";
};

sim::Ieee1284Config SilentAt(int event) {
  sim::Ieee1284Config config;
  config.silentAtEvent = event;
  return config;
}

sim::Ieee1284Config BusyAfter(std::uint64_t bytes, std::uint32_t milliseconds) {
  sim::Ieee1284Config config;
  config.busyAfterBytes = bytes;
  config.busyMilliseconds = milliseconds;
  return config;
}

sim::ParallelPortChipConfig Fifo(std::uint32_t accessesPerByte,
                                 std::optional<std::uint64_t> stopsAfter = std::nullopt) {
  sim::ParallelPortChipConfig config;
  config.accessesPerFifoByte = accessesPerByte;
  config.fifoStopsAfter = stopsAfter;
  return config;
}

class LptDirect : public VopP2Test {
 protected:
  void SetUp() override {
    VopP2Test::SetUp();
    VopP2InitLPTPort();  // on Windows XP it only forgets an ECP mode left by an earlier test
    machine.SetVersion(sim::Windows98());
    Connect();
  }
  void TearDown() override {
    VopP2Close(PORT_LPT);
    VopP2Test::TearDown();
  }
  // A fresh chip and printer interface on the machine's port registers.
  void Connect(sim::Ieee1284Config interface = {}, sim::ParallelPortChipConfig chipConfig = {}) {
    chip = std::make_shared<sim::ParallelPortChip>(chipConfig);
    peripheral = std::make_shared<sim::Ieee1284Printer>(
        printer, [this] { return machine.NowMilliseconds(); }, interface);
    chip->Connect(peripheral);
    machine.AttachPortRegisters(chip);
  }
  static Bytes Pattern(std::size_t size) {
    Bytes bytes(size);
    std::iota(bytes.begin(), bytes.end(), std::uint8_t{0x30});
    return bytes;
  }
  std::int32_t Write(std::uint32_t mode, const Bytes& bytes, std::uint32_t& written) {
    param().dwLptMode = mode;
    return VopP2Write(PORT_LPT, bytes.data(), static_cast<std::uint32_t>(bytes.size()), &written);
  }
  std::int32_t Read(std::uint32_t mode, Bytes& buffer, std::uint32_t& read, std::uint8_t request) {
    param().dwLptMode = mode;
    return VopP2Read(PORT_LPT, buffer.data(), static_cast<std::uint32_t>(buffer.size()), &read,
                     request);
  }

  std::shared_ptr<ScriptedPrinter> printer = std::make_shared<ScriptedPrinter>();
  std::shared_ptr<sim::ParallelPortChip> chip;
  std::shared_ptr<sim::Ieee1284Printer> peripheral;
};

TEST_F(LptDirect, EveryWriteModeDeliversTheBytesAndLeavesThePortAtRest) {
  const std::vector<std::tuple<std::uint32_t, const char*, Journal>> modes = {
      {1, "VopP2WriteLptStandard\n", {"compatibility 100"}},
      {2, "VopP2WriteLptParallelPortFIFO\n", {"compatibility 100"}},
      {3, "VopP2WriteLptECPFIFO\n", {"negotiation 10h", "ECP forward 100", "termination"}}};
  for (const auto& [mode, entryLine, journal] : modes) {
    Connect();
    printer->received.clear();
    machine.ResetPortAccesses();
    VopP2SetDebugLevel(80);
    machine.ClearDebugLines();
    std::uint32_t written = 0;
    ASSERT_EQ(Write(mode, Pattern(100), written), 1) << message();
    EXPECT_EQ(written, 100U);
    EXPECT_EQ(printer->received, Pattern(100));
    EXPECT_EQ(peripheral->Journal(), journal);
    EXPECT_TRUE(Logged(entryLine));
    EXPECT_EQ(chip->Ecr(), 0x15);      // compatibility mode
    EXPECT_EQ(chip->Control(), 0x0C);  // nInit high, nSelectIn low, the rest high
    EXPECT_EQ(chip->FifoBytesDiscarded(), 0U);
    EXPECT_NE(param().dwWriteEndTick, 0U);
    if (mode == 1) {  // one status read, the byte, strobe on and off; the control read once
      EXPECT_EQ(machine.PortAccesses().reads + machine.PortAccesses().writes, 4U * 100 + 1);
    }
  }
  VopP2SetDebugLevel(79);
  machine.ClearDebugLines();
  std::uint32_t written = 0;
  Write(1, Pattern(1), written);
  EXPECT_FALSE(Logged("VopP2WriteLptStandard\n"));
}

TEST_F(LptDirect, EcpWriteNegotiatesUnlessNegotiatedAndAlwaysTerminates) {
  std::uint32_t written = 0;
  ASSERT_EQ(Write(3, Pattern(5), written), 1);
  EXPECT_EQ(peripheral->Journal(), (Journal{"negotiation 10h", "ECP forward 5", "termination"}));
  ASSERT_EQ(VopP2ECPNegotiation(16, 0, 37), 1);
  EXPECT_EQ(chip->Ecr(), 0x25);
  ASSERT_EQ(Write(3, Pattern(5), written), 1);
  EXPECT_EQ(peripheral->Journal(), (Journal{"negotiation 10h", "ECP forward 5", "termination",
                                            "negotiation 10h", "ECP forward 5", "termination"}));
  EXPECT_EQ(chip->Ecr(), 0x15);
  EXPECT_EQ(VopP2ECPTermination(), 0);  // already back in compatibility mode
  EXPECT_EQ(message(), "ECPTerminateLPTWithVopP2 : failure(Ev23)\n");
  EXPECT_EQ(chip->Ecr(), 0x00);
}

TEST_F(LptDirect, ATransferInAnotherModeEndsTheEcpModeTheCallerNegotiated) {
  for (const std::uint32_t mode : {1U, 2U}) {
    Connect();
    printer->received.clear();
    ASSERT_EQ(VopP2ECPNegotiation(16, 0, 37), 1);
    std::uint32_t written = 0;
    ASSERT_EQ(Write(mode, Pattern(10), written), 1) << message();
    EXPECT_EQ(printer->received, Pattern(10)) << mode;
    EXPECT_EQ(peripheral->Journal(),
              (Journal{"negotiation 10h", "termination", "compatibility 10"}));
  }
  Connect();
  printer->replies = {{0x41, 0x5A}};
  ASSERT_EQ(VopP2ECPNegotiation(16, 0, 37), 1);
  Bytes buffer(8, 0);
  std::uint32_t read = 0;
  ASSERT_EQ(Read(1, buffer, read, 0), 1) << message();
  EXPECT_EQ(read, 2U);
}

TEST_F(LptDirect, FifoWritesPutDwFifoSizeBytesInAfterEachEmptyTest) {
  std::uint32_t written = 0;
  ASSERT_EQ(Write(2, Pattern(33), written), 1);
  EXPECT_EQ(chip->FifoLoads(), (std::vector<std::size_t>{16, 16, 1}));
  Connect();
  param().dwFifoSize = 0;  // one byte per test rather than no progress at all
  ASSERT_EQ(Write(2, Pattern(3), written), 1);
  EXPECT_EQ(chip->FifoLoads(), (std::vector<std::size_t>{1, 1, 1}));
}

TEST_F(LptDirect, StandardWriteTimesOutAfterABusyStallWithTheBytesTakenSoFar) {
  machine.SetClockStepPerReading(100);
  Connect(BusyAfter(5, 3000));  // a short stall is waited out
  std::uint32_t written = 0;
  EXPECT_EQ(Write(1, Pattern(20), written), 1);
  EXPECT_EQ(written, 20U);

  Connect(BusyAfter(5, sim::Ieee1284Config::kForever));
  printer->received.clear();
  const std::uint64_t start = machine.NowMilliseconds();
  EXPECT_EQ(Write(1, Pattern(20), written), 0);
  EXPECT_EQ(written, 5U);
  EXPECT_EQ(printer->received, Pattern(5));
  EXPECT_EQ(message(), "VopP2WriteLptStandard : failure (Time out)\n");
  EXPECT_EQ(param().dwWriteEndTick, 0U);
  EXPECT_GE(machine.NowMilliseconds() - start, 9000U);  // whole seconds: 9 to 10 s
  EXPECT_LE(machine.NowMilliseconds() - start, 10200U);
}

TEST_F(LptDirect, FifoWritesWaitForTheLastBytesAndTimeOutWhenTheFifoStops) {
  Connect({}, Fifo(5));  // a slow FIFO: the last bytes are waited for
  std::uint32_t written = 0;
  ASSERT_EQ(Write(2, Pattern(40), written), 1);
  EXPECT_EQ(printer->received, Pattern(40));
  EXPECT_EQ(chip->FifoBytesDiscarded(), 0U);

  machine.SetClockStepPerReading(100);
  Connect({}, Fifo(1, 18));  // stops in the last chunk
  printer->received.clear();
  EXPECT_EQ(Write(2, Pattern(20), written), 0);
  // The bytes put in the FIFO count: two of the last four left before it stopped.
  EXPECT_EQ(printer->received, Pattern(18));
  EXPECT_EQ(written, 20U);
  EXPECT_EQ(message(), "VopP2WriteLptParallelPortFIFO : failure (Time out)\n");
  EXPECT_EQ(chip->Ecr(), 0x45);  // left in FIFO mode, its bytes kept
  EXPECT_EQ(chip->FifoBytesDiscarded(), 0U);
}

TEST_F(LptDirect, ReverseReadsStoreTheReplyInNibbleAndEcpMode) {
  struct Case {
    std::uint32_t mode;
    std::uint8_t request;
    Journal journal;
  };
  // In ECP mode the request asks for ECP mode, also when the caller passes 0.
  for (const Case& c : {Case{1, 0x00, {"negotiation 00h", "nibble 3", "termination"}},
                        Case{1, 0x10, {"negotiation 00h", "nibble 3", "termination"}},
                        Case{3, 0x00, {"negotiation 10h", "ECP reverse 3", "termination"}},
                        Case{3, 0x10, {"negotiation 10h", "ECP reverse 3", "termination"}}}) {
    Connect();
    printer->replies = {{0x41, 0x5A, 0xC3}};
    Bytes buffer(8, 0xEE);
    std::uint32_t read = 0;
    ASSERT_EQ(Read(c.mode, buffer, read, c.request), 1) << message();
    EXPECT_EQ(read, 3U);
    // The nibble read keeps the data terminated; the ECP read stores the data alone.
    const std::uint8_t after = c.mode == 1 ? 0x00 : 0xEE;
    EXPECT_EQ(buffer, (Bytes{0x41, 0x5A, 0xC3, after, 0xEE, 0xEE, 0xEE, 0xEE}));
    EXPECT_EQ(peripheral->Journal(), c.journal);
    EXPECT_EQ(chip->Ecr(), 0x15);
  }
  Connect();
  Bytes buffer(32, 0);
  std::uint32_t read = 0;
  ASSERT_EQ(Read(1, buffer, read, 0x04), 1) << message();  // the device ID, nibble mode
  EXPECT_EQ(read, 14U);
  EXPECT_EQ(std::string(buffer.begin(), buffer.begin() + 14),
            std::string("\0\x0EMFG:Z;MDL:Q;", 14));
}

TEST_F(LptDirect, ReverseReadsStopAtTheBufferAndLeaveTheRestWithThePrinter) {
  for (const std::uint32_t mode : {1U, 3U}) {
    Connect();
    printer->replies = {Pattern(10)};
    Bytes buffer(6, 0xEE);
    std::uint32_t read = 0;
    ASSERT_EQ(VopP2Read(PORT_LPT, buffer.data(), 4, &read, 0), 1) << message();
    ASSERT_EQ(Read(mode, buffer, read, 0), 1);  // the first four, then the remaining six
    EXPECT_EQ(read, 6U);
    EXPECT_EQ(buffer, (Bytes{0x34, 0x35, 0x36, 0x37, 0x38, 0x39}));
    EXPECT_EQ(peripheral->PendingReverseBytes(), 0U);
  }
}

struct FailureCase {
  int silentAt;
  std::uint32_t mode;
  bool write;
  std::uint8_t request;
  const char* text;
};

void PrintTo(const FailureCase& c, std::ostream* out) {
  *out << "silent at event " << c.silentAt << ", mode " << c.mode << ", request " << int{c.request};
}

class LptHandshakeFailure : public LptDirect, public ::testing::WithParamInterface<FailureCase> {};

TEST_P(LptHandshakeFailure, NamesTheEventThatDidNotComeAndHandsTheLinkBack) {
  const FailureCase& c = GetParam();
  param().dwECPNegotiationDelay = 20;
  param().dwECPTerminationDelay = 20;
  param().dwLptReceptionDelay = 20;
  Connect(SilentAt(c.silentAt));
  printer->replies = {{1, 2}};
  Bytes bytes(8, 0xEE);
  std::uint32_t count = 0;
  const std::int32_t result =
      c.write ? Write(c.mode, bytes, count) : Read(c.mode, bytes, count, c.request);
  EXPECT_EQ(message(), c.text);
  // A read changes nothing past the bytes it counts (and the nibble read's terminating 0).
  const std::size_t kept = count + (c.mode == 1 && count > 0 ? 1 : 0);
  EXPECT_TRUE(c.write || std::all_of(bytes.begin() + static_cast<std::ptrdiff_t>(kept), bytes.end(),
                                     [](std::uint8_t b) { return b == 0xEE; }));
  // A failed termination after a written ECP transfer does not fail the write.
  const bool terminationFailed = c.silentAt >= 23 && c.silentAt <= 27;
  EXPECT_EQ(result, c.write && terminationFailed ? 1 : 0);
  // Back in compatibility mode, the printer takes the next write, unless it never answered
  // at all or missed the termination itself.
  if (c.silentAt != 2 && !terminationFailed) {
    printer->received.clear();
    machine.SetClockStepPerReading(100);  // a printer that is not back ends in a time-out
    EXPECT_EQ(Write(1, Pattern(8), count), 1);
    EXPECT_EQ(printer->received, Pattern(8));
  }
}

INSTANTIATE_TEST_SUITE_P(
    Events, LptHandshakeFailure,
    ::testing::Values(
        FailureCase{2, 3, true, 0, "ECPNegotiateLPTWithVopP2 : failure(Ev2)\n"},
        FailureCase{5, 3, true, 0, "ECPNegotiateLPTWithVopP2 : failure(Ev5)\n"},
        FailureCase{6, 3, true, 0, "ECPNegotiateLPTWithVopP2 : failure(Ev6)\n"},
        FailureCase{31, 3, true, 0, "ECPNegotiateLPTWithVopP2 : failure(Ev31)\n"},
        FailureCase{0, 3, false, 0x01, "ECPNegotiateLPTWithVopP2 : failure(Ev31)\n"},  // refused
        FailureCase{23, 3, true, 0, "ECPTerminateLPTWithVopP2 : failure(Ev23)\n"},
        FailureCase{24, 3, true, 0, "ECPTerminateLPTWithVopP2 : failure(Ev24)\n"},
        FailureCase{27, 3, true, 0, "ECPTerminateLPTWithVopP2 : failure(Ev27)\n"},
        FailureCase{2, 1, false, 0, "GetRevData : failure(Ev2)\n"},
        FailureCase{5, 1, false, 0, "GetRevData : failure(Ev5)\n"},
        FailureCase{0, 1, false, 0x01, "GetRevData : failure(Ev5)\n"},  // byte mode: refused
        FailureCase{6, 1, false, 0, "GetRevData : failure(Ev6)\n"},
        FailureCase{9, 1, false, 0, "GetRevData : failure(Ev9)\n"},
        FailureCase{11, 1, false, 0, "GetRevData : failure(Ev11)\n"},
        FailureCase{23, 1, false, 0, "GetRevData : failure(Ev23)\n"},
        FailureCase{24, 1, false, 0, "GetRevData : failure(Ev24)\n"},
        FailureCase{27, 1, false, 0, "GetRevData : failure(Ev27)\n"},
        FailureCase{40, 3, false, 0, "ECPGetRevData : failure(Ev40)\n"},
        FailureCase{43, 3, false, 0, "ECPGetRevData : failure(Ev43)\n"},
        FailureCase{45, 3, false, 0, "ECPGetRevData : failure(Ev45)\n"},
        FailureCase{48, 3, false, 0, "ECPGetRevData : failure(Ev48)\n"},
        FailureCase{49, 3, false, 0, "ECPGetRevData : failure(Ev49)\n"}));

TEST_F(LptDirect, AWaitReadsTheStatusAtMostItsLimitPlusOneTimes) {
  param().dwECPNegotiationDelay = 7;
  Connect(SilentAt(2));
  EXPECT_EQ(VopP2ECPNegotiation(16, 0, 37), 0);
  // Two control reads for the line changes, the eight tests of the wait, then the three
  // control reads that withdraw the request.
  EXPECT_EQ(machine.PortAccesses().reads, 2U + 8U + 3U);
}

TEST_F(LptDirect, InitPortResetsThePrinterAndReturnsToCompatibilityMode) {
  ASSERT_EQ(VopP2ECPNegotiation(16, 0, 37), 1);  // left negotiated
  chip->KeepWriteLog(true);
  VopP2InitLPTPort();
  using W = sim::RegisterWrite;
  EXPECT_EQ(chip->WriteLog(), (std::vector<W>{{0x402, 0x15},
                                              {2, 0xCE},
                                              {2, 0xCA},
                                              {2, 0xC8},
                                              {2, 0xCC},
                                              {0x402, 0x65},
                                              {0x402, 0x15}}));
  EXPECT_EQ(machine.SleptMilliseconds(), 400U);
  EXPECT_EQ(peripheral->Journal().back(), "reset");
  std::uint32_t written = 0;
  EXPECT_EQ(Write(1, Pattern(3), written), 1);
  EXPECT_EQ(printer->received, Pattern(3));
}

TEST_F(LptDirect, ARefusedRegisterAccessFailsTheCallAndFreesThePort) {
  machine.FailPortAccess(0x77A, platform::kErrorAccessDenied);
  std::uint32_t written = 9;
  EXPECT_EQ(Write(2, Pattern(4), written), 0);
  EXPECT_EQ(written, 0U);
  EXPECT_EQ(message(),
            "VopP2WriteLptParallelPortFIFO : failure (port access at 077Ah, ErrorCode = "
            "00000005)\n");
  EXPECT_EQ(Write(1, Pattern(4), written), 1);
  EXPECT_EQ(printer->received, Pattern(4));
}

}  // namespace
