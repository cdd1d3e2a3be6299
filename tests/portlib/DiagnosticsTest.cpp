#include "VopP2Fixture.h"

namespace {

class Diagnostics : public VopP2Test {};

TEST_F(Diagnostics, TheLastFailureStaysThroughLaterSuccesses) {
  MarkMessage();
  const std::string failure = message();
  EXPECT_EQ(failure, "VopP2Open:CreateFile(PORT_COM) : failure (00000002h)\n");
  AttachCom();
  EXPECT_EQ(VopP2Open(PORT_COM), 1);
  EXPECT_EQ(VopP2Close(PORT_COM), 1);
  EXPECT_EQ(message(), failure);
}

TEST_F(Diagnostics, BelowMinusOneFailuresAreNeitherWrittenNorKept) {
  auto line = AttachCom();
  line->Fail(sim::ComOperation::kSetupComm, platform::kErrorInvalidParameter);
  EXPECT_EQ(VopP2Open(PORT_COM), 0);
  EXPECT_EQ(message(), "VopP2Open:SetupComm(PORT_COM) : failure\n");
  ASSERT_EQ(machine.DebugLines().size(), 1U);  // level -1: the failure text only

  VopP2SetDebugLevel(-2);
  machine.ClearDebugLines();
  line->Heal(sim::ComOperation::kSetupComm);
  line->Fail(sim::ComOperation::kSetCommState, platform::kErrorInvalidParameter);
  EXPECT_EQ(VopP2Open(PORT_COM), 0);
  EXPECT_EQ(message(), "VopP2Open:SetupComm(PORT_COM) : failure\n");
  EXPECT_TRUE(machine.DebugLines().empty());
}

TEST_F(Diagnostics, LinesAppearFromTheirThresholdOn) {
  auto line = AttachCom();
  const std::uint8_t data[] = {1, 2, 3};
  std::uint32_t written = 0;
  const char* transfer = "WriteFile(COM)= dwDataLength:00000003h dwWrittenLength:00000003h\n";

  VopP2Write(PORT_COM, data, 3, &written);
  EXPECT_TRUE(machine.DebugLines().empty());

  VopP2SetDebugLevel(40);
  EXPECT_TRUE(Logged("VopP2SetDebugLevel = 40, OS# = 5, OSNAME = OS_WINXP\n"));
  machine.ClearDebugLines();
  VopP2Write(PORT_COM, data, 3, &written);
  EXPECT_TRUE(Logged("VopP2Write\n"));
  EXPECT_FALSE(Logged(transfer));
  EXPECT_FALSE(Logged("VopP2WriteCom\n"));

  VopP2SetDebugLevel(50);
  machine.ClearDebugLines();
  VopP2Write(PORT_COM, data, 3, &written);
  EXPECT_TRUE(Logged(transfer));
  EXPECT_FALSE(Logged("VopP2WriteCom\n"));

  VopP2SetDebugLevel(60);
  machine.ClearDebugLines();
  VopP2Write(PORT_COM, data, 3, &written);
  EXPECT_TRUE(Logged("VopP2WriteCom\n"));
  EXPECT_TRUE(Logged("VopP2OpenCom\n"));
  EXPECT_TRUE(Logged("VopP2CloseCom\n"));
}

// The values line GetKindOfOS writes at 30 for the default Windows XP record.
const std::string kXpValues =
    "GetKindOfOS = Platform:00000002h Major:00000005h Minor:00000001h Build:00000A28h\n";

TEST_F(Diagnostics, ExportsAnnounceThemselvesAtForty) {
  VopP2SetDebugLevel(39);
  EXPECT_EQ(VopP2GetDebugLevel(), 39);
  EXPECT_EQ(VopP2GetVersion(), 6);
  VopP2GetParamPtr();
  EXPECT_EQ(machine.DebugLines(), std::vector<std::string>{kXpValues});

  VopP2SetDebugLevel(40);
  machine.ClearDebugLines();
  EXPECT_EQ(VopP2GetDebugLevel(), 40);
  EXPECT_EQ(VopP2GetVersion(), 6);
  VopP2GetParamPtr();
  VopP2InitLPTPort();
  VopP2ECPNegotiation(16, 0, 37);
  VopP2ECPTermination();
  const std::vector<std::string> expected{"VopP2GetDebugLevel = 40\n",
                                          "VopP2GetVersion\n",
                                          "VopP2GetParamPtr\n",
                                          "InitLPTPort\n",
                                          kXpValues,
                                          "VopP2ECPNegotiation\n",
                                          kXpValues,
                                          "VopP2ECPTermination\n",
                                          kXpValues};
  EXPECT_EQ(machine.DebugLines(), expected);

  VopP2SetDebugLevel(-5);
  EXPECT_EQ(VopP2GetVersion(), 6);
}

}  // namespace
