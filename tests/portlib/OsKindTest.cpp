#include <string>

#include "VopP2Fixture.h"
#include "sim/ParallelPortChip.h"
#include "sim/VersionRecords.h"

namespace {

struct KindCase {
  std::uint32_t platformId, major, minor, build;
  int kind;
};

class OsKind : public VopP2Test, public ::testing::WithParamInterface<KindCase> {};

// The kind shows in the debug-level line, which names it by number and name.
TEST_P(OsKind, VersionRecordGivesItsKind) {
  const KindCase c = GetParam();
  machine.SetVersion(sim::VersionRecord(c.platformId, c.major, c.minor, c.build));
  VopP2SetDebugLevel(40);
  static const char* const names[] = {"OS_UNKNOWN", "OS_WIN95", "OS_WIN98",
                                      "OS_WINME",   "OS_WIN2K", "OS_WINXP"};
  EXPECT_TRUE(Logged("VopP2SetDebugLevel = 40, OS# = " + std::to_string(c.kind) +
                     ", OSNAME = " + names[c.kind] + "\n"));
}

INSTANTIATE_TEST_SUITE_P(
    Table, OsKind,
    ::testing::Values(
        KindCase{1, 4, 0, 0x040003B6, OS_WIN95},   //
        KindCase{1, 4, 0, 0, OS_WIN95},            // minor 0 is enough
        KindCase{1, 4, 10, 0x040A07CE, OS_WIN98},  // 1998
        KindCase{1, 4, 10, 0x040A08AE, OS_WIN98},  // 2222 (second edition)
        KindCase{1, 4, 10, 0x045A0001, OS_WINME},  // not 98, but 0x045A high
        KindCase{1, 4, 10, 0x040A07CF, OS_UNKNOWN}, KindCase{1, 4, 90, 0x045A0BB8, OS_WINME},  //
        KindCase{1, 4, 90, 0, OS_WINME},           // minor 90 is enough
        KindCase{1, 4, 20, 0x045A0000, OS_WINME},  //
        KindCase{1, 4, 20, 0x04140000, OS_UNKNOWN}, KindCase{2, 5, 0, 2195, OS_WIN2K},  //
        KindCase{2, 5, 1, 2600, OS_WINXP},                                              //
        KindCase{2, 5, 2, 3790, OS_UNKNOWN}, KindCase{2, 4, 0, 1381, OS_UNKNOWN},
        KindCase{2, 6, 1, 7601, OS_UNKNOWN}, KindCase{0, 3, 10, 0, OS_UNKNOWN}),  // Win32s
    [](const ::testing::TestParamInfo<KindCase>& testInfo) {
      const KindCase& c = testInfo.param;
      return "Platform" + std::to_string(c.platformId) + "_" + std::to_string(c.major) + "_" +
             std::to_string(c.minor) + "_Build" + std::to_string(c.build);
    });

class UnknownOs : public VopP2Test {
 protected:
  void SetUp() override {
    VopP2Test::SetUp();
    machine.SetVersion(sim::VersionRecord(2, 4, 0, 1381));
  }
};

TEST_F(UnknownOs, ParallelPortFailsWithItsTexts) {
  EXPECT_EQ(VopP2Open(PORT_LPT), 0);
  EXPECT_EQ(message(), "VopP2Open:CreateFile(PORT_LPT) : OS_UNKNOWN failure\n");
  const std::uint8_t data[] = {1};
  std::uint32_t count = 3;
  EXPECT_EQ(VopP2Write(PORT_LPT, data, 1, &count), 0);
  EXPECT_EQ(count, 0U);
  EXPECT_EQ(message(), "VopP2Write(PORT_LPT) : OS_UNKNOWN failure\n");
  MarkMessage();
  std::uint8_t buffer[4];
  EXPECT_EQ(VopP2Read(PORT_LPT, buffer, sizeof buffer, &count, 0), 0);
  EXPECT_EQ(message(), "VopP2Open:CreateFile(PORT_COM) : failure (00000002h)\n");  // no text
}

TEST_F(UnknownOs, UsbFailsWithItsTextsAndTheWriteOnlyOnTheOutput) {
  EXPECT_EQ(VopP2Open(PORT_USB), 0);
  EXPECT_EQ(message(), "VopP2Open:CreateFile(PORT_USB) : OS_UNKNOWN failure\n");
  MarkMessage();
  machine.ClearDebugLines();
  const std::uint8_t data[] = {1};
  std::uint32_t count = 3;
  EXPECT_EQ(VopP2Write(PORT_USB, data, 1, &count), 0);
  EXPECT_TRUE(machine.DebugLines().empty());  // the text needs level 20
  VopP2SetDebugLevel(20);
  EXPECT_EQ(VopP2Write(PORT_USB, data, 1, &count), 0);
  EXPECT_TRUE(Logged("VopP2Write(PORT_USB) : OS_UNKNOWN failure\n"));
  EXPECT_EQ(message(), "VopP2Open:CreateFile(PORT_COM) : failure (00000002h)\n");

  std::uint8_t buffer[4];
  EXPECT_EQ(VopP2Read(PORT_USB, buffer, sizeof buffer, &count, 0), 0);
  EXPECT_EQ(message(), "VopP2Read(PORT_USB) : OS_UNKNOWN failure\n");
  VopP2Close(PORT_USB);
  EXPECT_EQ(message(), "VopP2Close(PORT_USB) : OS_UNKNOWN failure\n");
}

TEST_F(VopP2Test, HandshakeExportsDoNothingOnTheNtFamily) {
  machine.AttachPortRegisters(std::make_shared<sim::ParallelPortChip>());
  for (const auto& record : {sim::Windows2000(), sim::WindowsXp()}) {
    machine.SetVersion(record);
    EXPECT_EQ(VopP2ECPNegotiation(16, 0, 37), 0);
    EXPECT_EQ(VopP2ECPTermination(), 0);
    VopP2InitLPTPort();
  }
  EXPECT_EQ(machine.PortAccesses().reads + machine.PortAccesses().writes, 0U);
  EXPECT_EQ(message(), messageAtStart);  // no failure reported
}

}  // namespace
