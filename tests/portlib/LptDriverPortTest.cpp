// The parallel port through the system driver (Windows 2000 and XP) on the simulated
// machine, with a small printer port device at \\.\LPT1 standing in for the driver.
#include <array>
#include <numeric>

#include "PrinterPort.h"
#include "VopP2Fixture.h"
#include "platform/FailureReason.h"
#include "sim/VersionRecords.h"

namespace {

constexpr const char* kPrinters = R"(System\CurrentControlSet\Control\Print\Printers)";

class LptDriverPort : public VopP2Test {
 protected:
  void SetUp() override {
    VopP2Test::SetUp();
    port = std::make_shared<PrinterPort>();
    machine.AttachDevice(R"(\\.\LPT1)", port);
  }
  void TearDown() override {
    VopP2SetDebugLevel(-2);
    VopP2Close(PORT_LPT);
    VopP2Test::TearDown();
  }
  void AddQueue(const std::string& queue, const std::string& portName) {
    machine.registry().SetMultiString(std::string(kPrinters) + "\\" + queue + "\\DsSpooler",
                                      "portName", {portName});
  }
  static std::vector<std::uint8_t> Pattern(std::size_t size) {
    std::vector<std::uint8_t> bytes(size);
    std::iota(bytes.begin(), bytes.end(), std::uint8_t{0x20});
    return bytes;
  }
  std::int32_t Write(const std::vector<std::uint8_t>& bytes, std::uint32_t& written) {
    return VopP2Write(PORT_LPT, bytes.data(), static_cast<std::uint32_t>(bytes.size()), &written);
  }
  static std::string CheckText(const std::string& queue) {
    return "CheckLPT1: LPT1ポートが " + queue + " のドライバで使用されています。\n";
  }

  std::shared_ptr<PrinterPort> port;
};

TEST_F(LptDriverPort, OpenHoldsTheDriverDeviceUntilClosedOnBothSystems) {
  for (const auto& record : {sim::WindowsXp(), sim::Windows2000()}) {
    machine.SetVersion(record);
    port->opens = 0;
    ASSERT_EQ(VopP2Open(PORT_LPT), 1);
    EXPECT_EQ(VopP2Open(PORT_LPT), 1);  // already open: not opened twice
    EXPECT_EQ(port->opens, 1);
    EXPECT_TRUE(port->open);
    VopP2Close(PORT_LPT);
    EXPECT_FALSE(port->open);
    EXPECT_EQ(machine.OpenHandleCount(), 0U);
  }
  auto lpt2 = std::make_shared<PrinterPort>();
  machine.AttachDevice(R"(\\.\LPT2)", lpt2);
  param().dwLptNumber = 2;
  ASSERT_EQ(VopP2Open(PORT_LPT), 1);
  EXPECT_TRUE(lpt2->open);
  EXPECT_FALSE(port->open);
}

TEST_F(LptDriverPort, MissingDeviceFailsTheOpenAndTheWrite) {
  machine.DetachDevice(R"(\\.\LPT1)");
  EXPECT_EQ(VopP2Open(PORT_LPT), 0);
  EXPECT_EQ(message(), "VopP2Open:CreateFile(PORT_LPT) : failure\n");
  std::uint32_t written = 7;
  EXPECT_EQ(Write(Pattern(4), written), 0);
  EXPECT_EQ(written, 0U);
}

TEST_F(LptDriverPort, WriteSendsEveryByteAndClosesOnlyWhatItOpened) {
  const auto data = Pattern(3000);
  std::uint32_t written = 0;
  EXPECT_EQ(Write(data, written), 1);
  EXPECT_EQ(written, 3000U);
  EXPECT_EQ(port->written, data);
  EXPECT_FALSE(port->open);

  ASSERT_EQ(VopP2Open(PORT_LPT), 1);
  EXPECT_EQ(Write(Pattern(3), written), 1);
  EXPECT_TRUE(port->open);
  EXPECT_EQ(port->opens, 2);
}

TEST_F(LptDriverPort, ShortWriteIsAFailedResult) {
  port->writeLimit = 10;
  std::uint32_t written = 0;
  EXPECT_EQ(Write(Pattern(64), written), 0);
  EXPECT_EQ(written, 10U);
  EXPECT_EQ(message(), messageAtStart);  // the driver did not fail: no text
  EXPECT_FALSE(port->open);
}

TEST_F(LptDriverPort, FailedWriteClosesThePortAndEndsWithTheErrorCode) {
  ASSERT_EQ(VopP2Open(PORT_LPT), 1);
  port->writeError = platform::kErrorIoDevice;
  machine.ClearDebugLines();
  std::uint32_t written = 0;
  EXPECT_EQ(Write(Pattern(8), written), 0);
  EXPECT_EQ(message(), "WriteFile(LPT) : ErrorCode = 0000045D\n");
  EXPECT_EQ(machine.DebugLines(),
            (std::vector<std::string>{"VopP2Write(LPT) : failure\n",
                                      "WriteFile(LPT) : ErrorCode = 0000045D\n"}));
  EXPECT_FALSE(port->open);  // closed although the caller had opened it
  port->writeError = 0;
  EXPECT_EQ(Write(Pattern(8), written), 1);  // the next call opens it again
}

TEST_F(LptDriverPort, ReverseDataIsOneReadOfTheBufferForRequestsZeroAndSixteen) {
  for (std::uint32_t request : {0U, 16U, 0x100U}) {  // only the low byte counts
    port->replies.push_back({0x1B, 0x01, 0x00, 0x42});
    std::array<std::uint8_t, 256> buffer{};
    std::uint32_t read = 0;
    EXPECT_EQ(VopP2Read(PORT_LPT, buffer.data(), 256, &read, request), 1) << request;
    EXPECT_EQ(read, 4U);
    EXPECT_EQ(buffer[3], 0x42);
  }
  EXPECT_EQ(port->readSizes, (std::vector<std::size_t>{256, 256, 256}));
  EXPECT_TRUE(port->idRooms.empty());
  EXPECT_FALSE(port->open);

  std::uint8_t buffer[16];
  std::uint32_t read = 9;
  EXPECT_EQ(VopP2Read(PORT_LPT, buffer, sizeof buffer, &read, 0), 1);  // a silent printer
  EXPECT_EQ(read, 0U);
}

TEST_F(LptDriverPort, DeviceIdComesBehindItsBigEndianLength) {
  std::array<std::uint8_t, 1100> buffer{};
  std::uint32_t read = 0;
  EXPECT_EQ(VopP2Read(PORT_LPT, buffer.data(), 1100, &read, 4), 1);
  const std::size_t idLength = port->deviceId.size();
  EXPECT_EQ(read, idLength + 1);
  EXPECT_EQ(buffer[0], 0);
  EXPECT_EQ(buffer[1], idLength + 1);
  EXPECT_EQ(std::string(buffer.begin() + 2, buffer.begin() + 2 + static_cast<long>(idLength)),
            port->deviceId);
  EXPECT_EQ(port->idRooms, (std::vector<std::size_t>{1022}));
  EXPECT_TRUE(port->readSizes.empty());

  port->deviceId.assign(300, 'x');
  EXPECT_EQ(VopP2Read(PORT_LPT, buffer.data(), 1100, &read, 0x55), 1);
  EXPECT_EQ(read, 301U);
  EXPECT_EQ(buffer[0], 0x01);
  EXPECT_EQ(buffer[1], 0x2D);
}

TEST_F(LptDriverPort, DeviceIdStaysInsideTheCallersBuffer) {
  std::array<std::uint8_t, 16> buffer;
  buffer.fill(0xEE);
  std::uint32_t read = 0;
  EXPECT_EQ(VopP2Read(PORT_LPT, buffer.data(), 10, &read, 4), 1);
  EXPECT_EQ(port->idRooms, (std::vector<std::size_t>{1022}));
  EXPECT_EQ(read, 9U);
  EXPECT_EQ(std::string(buffer.begin() + 2, buffer.begin() + 10), "MFG:Zarn");
  EXPECT_EQ(buffer[10], 0xEE);

  EXPECT_EQ(VopP2Read(PORT_LPT, buffer.data(), 2, &read, 4), 1);  // room for the length only
  EXPECT_EQ(read, 1U);
  EXPECT_EQ(buffer[2], 'M');  // untouched from before

  port->opens = 0;
  read = 5;
  EXPECT_EQ(VopP2Read(PORT_LPT, buffer.data(), 1, &read, 4), 0);
  EXPECT_EQ(message(), "VopP2ReadLptWithDriver : failure (dwBufferLength < 2)\n");
  EXPECT_EQ(read, 0U);
  EXPECT_EQ(VopP2Read(PORT_LPT, nullptr, 64, &read, 4), 0);
  EXPECT_EQ(message(), "VopP2ReadLptWithDriver : failure (lpBuffer == NULL)\n");
  EXPECT_EQ(port->opens, 0);  // nothing asked of the printer
}

TEST_F(LptDriverPort, FailedReadClosesThePort) {
  ASSERT_EQ(VopP2Open(PORT_LPT), 1);
  port->idError = platform::kErrorNotSupported;
  std::uint8_t buffer[64];
  std::uint32_t read = 3;
  EXPECT_EQ(VopP2Read(PORT_LPT, buffer, sizeof buffer, &read, 4), 0);
  EXPECT_EQ(message(), "VopP2Read(LPT) : failure\n");
  EXPECT_EQ(read, 0U);
  EXPECT_FALSE(port->open);

  machine.DetachDevice(R"(\\.\LPT1)");  // unplugged while open
  machine.AttachDevice(R"(\\.\LPT1)", port);
  ASSERT_EQ(VopP2Open(PORT_LPT), 1);
  machine.DetachDevice(R"(\\.\LPT1)");
  EXPECT_EQ(VopP2Read(PORT_LPT, buffer, sizeof buffer, &read, 0), 0);
  EXPECT_EQ(message(), "VopP2Read(LPT) : failure\n");
}

TEST_F(LptDriverPort, PrintQueueOnLpt1KeepsThePortClosedWhicheverPortIsSet) {
  AddQueue("Office Laser", "LPT1:");
  EXPECT_EQ(VopP2Open(PORT_LPT), 0);
  EXPECT_EQ(message(), CheckText("Office Laser"));
  EXPECT_EQ(port->opens, 0);

  auto lpt2 = std::make_shared<PrinterPort>();
  machine.AttachDevice(R"(\\.\LPT2)", lpt2);
  param().dwLptNumber = 2;
  std::uint32_t written = 4;
  EXPECT_EQ(Write(Pattern(4), written), 0);
  EXPECT_EQ(written, 0U);
  EXPECT_EQ(message(), CheckText("Office Laser"));
  EXPECT_EQ(lpt2->opens, 0);
  EXPECT_EQ(machine.registry().OpenKeyCount(), 0U);

  AddQueue("Second", "LPT1:");  // every queue on LPT1 is reported, the last one stays
  machine.ClearDebugLines();
  EXPECT_EQ(VopP2Open(PORT_LPT), 0);
  EXPECT_EQ(machine.DebugLines(),
            (std::vector<std::string>{CheckText("Office Laser"), CheckText("Second")}));
  const platform::FailureReason reason = platform::LastFailureReason();
  EXPECT_EQ(reason.kind, platform::FailureKind::kPrintQueue);
  EXPECT_EQ(reason.device, "LPT1");
  EXPECT_EQ(reason.detail, "Print queues: Office Laser, Second");
}

TEST_F(LptDriverPort, OnlyAnExactLpt1PortNameCounts) {
  AddQueue("Other port", "LPT2:");
  AddQueue("Lower case", "lpt1:");
  AddQueue("Network", "IP_192.168.0.9");
  machine.registry().AddKey(std::string(kPrinters) + R"(\No spooler key)");
  machine.registry().SetMultiString(std::string(kPrinters) + R"(\Second string\DsSpooler)",
                                    "portName", {"COM1:", "LPT1:"});
  EXPECT_EQ(VopP2Open(PORT_LPT), 1);
  EXPECT_EQ(message(), messageAtStart);
  VopP2Close(PORT_LPT);
  EXPECT_EQ(machine.registry().OpenKeyCount(), 0U);
}

TEST_F(LptDriverPort, DirectRegisterSystemsLeaveTheDriverDeviceAlone) {
  machine.SetVersion(sim::Windows98());
  EXPECT_EQ(VopP2Open(PORT_LPT), 1);  // the port counts as open; nothing is touched
  std::uint32_t count = 5;
  EXPECT_EQ(Write(Pattern(2), count), 0);  // no port registers on this machine
  EXPECT_EQ(count, 0U);
  EXPECT_EQ(message(),
            "VopP2WriteLptStandard : failure (no access to the port at 0378h, "
            "ErrorCode = 00000002)\n");
  VopP2Close(PORT_LPT);
  EXPECT_EQ(port->opens, 0);
}

TEST_F(LptDriverPort, DebugLinesAppearAtTheirLevels) {
  const auto run = [&](std::int32_t level) {
    port->replies.push_back({1, 2});
    VopP2SetDebugLevel(level);
    machine.ClearDebugLines();
    std::uint32_t count = 0;
    Write(Pattern(3), count);
    std::uint8_t buffer[32];
    VopP2Read(PORT_LPT, buffer, sizeof buffer, &count, 0);
  };
  const std::string writeLength =
      "WriteFile(LPT) = dwDataLength:00000003h dwWrittenLength:00000003h\n";
  const std::string readLength = "ReadFile(LPT) = dwDataLength:00000020h dwReadLength:00000002h\n";
  run(49);
  EXPECT_FALSE(Logged(writeLength));
  run(50);
  EXPECT_TRUE(Logged(writeLength));
  EXPECT_TRUE(Logged(readLength));
  EXPECT_FALSE(Logged("VopP2WriteLpt\n"));
  run(60);
  for (const char* line :
       {"VopP2OpenLpt\n", "VopP2CloseLpt\n", "VopP2WriteLpt\n", "VopP2ReadLpt\n"}) {
    EXPECT_TRUE(Logged(line)) << line;
  }
  EXPECT_FALSE(Logged("IsLPT1UsedByOtherDriver\n"));
  EXPECT_FALSE(Logged("VopP2WriteLptWithDriver\n"));
  run(80);
  for (const char* line :
       {"IsLPT1UsedByOtherDriver\n", "VopP2WriteLptWithDriver\n", "VopP2ReadLptWithDriver\n"}) {
    EXPECT_TRUE(Logged(line)) << line;
  }
}

}  // namespace
