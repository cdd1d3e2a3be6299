#include <filesystem>

#include "FileText.h"
#include "TempFolder.h"
#include "VopP2Fixture.h"
#include "sim/VersionRecords.h"

namespace {

class Dispatch : public VopP2Test {
 protected:
  void SetUp() override {
    VopP2Test::SetUp();
    capture = folder.File("capture.prn");
    std::snprintf(param().szOutputFile, sizeof param().szOutputFile, "%s", capture.c_str());
  }
  testsupport::TempFolder folder;
  std::string capture;
};

TEST_F(Dispatch, FileAndParallelWriteBothAndReturnTheParallelResult) {
  const std::uint8_t data[] = {0x1B, 0x40, 0x0A};
  std::uint32_t written = 99;
  EXPECT_EQ(VopP2Write(PORT_FILE | PORT_LPT, data, 3, &written), 0);
  EXPECT_EQ(testsupport::FileText(capture), "\x1B\x40\x0A");
  EXPECT_EQ(written, 0U);
  EXPECT_EQ(message(), "VopP2Open:CreateFile(PORT_LPT) : failure\n");  // no \\.\LPT1 here

  machine.SetVersion(sim::VersionRecord(2, 4, 0, 1381));  // NT 4.0: unknown kind
  EXPECT_EQ(VopP2Write(PORT_FILE | PORT_LPT, data, 3, &written), 0);
  EXPECT_EQ(testsupport::FileText(capture).size(), 6U);
  EXPECT_EQ(message(), "VopP2Write(PORT_LPT) : OS_UNKNOWN failure\n");
}

TEST_F(Dispatch, TheLastTransportCalledGivesTheResult) {
  auto line = AttachCom();
  const std::uint8_t data[] = {1, 2};
  std::uint32_t written = 0;
  EXPECT_EQ(VopP2Write(PORT_FILE | PORT_COM, data, 2, &written), 1);
  line->Fail(sim::ComOperation::kWrite, platform::kErrorIoDevice);
  EXPECT_EQ(VopP2Write(PORT_FILE | PORT_COM, data, 2, &written), 0);
  line->Heal(sim::ComOperation::kWrite);
  std::snprintf(param().szOutputFile, sizeof param().szOutputFile, "%s",
                folder.File("missing/x.prn").c_str());
  EXPECT_EQ(VopP2Write(PORT_FILE | PORT_COM, data, 2, &written), 1);
  EXPECT_EQ(message(), "VopP2Open:CreateFile(PORT_FILE) : failure\n");
}

TEST_F(Dispatch, MasksWithoutAKnownBitTouchNothing) {
  AttachCom();
  VopP2SetDebugLevel(60);
  machine.ClearDebugLines();
  const std::uint8_t data[] = {1};
  std::uint8_t buffer[4];
  std::uint32_t count = 0;
  for (std::int32_t mask : {0, 16}) {
    EXPECT_EQ(VopP2Open(mask), 0);
    EXPECT_EQ(VopP2Write(mask, data, 1, &count), 0);
    EXPECT_EQ(VopP2Read(mask, buffer, sizeof buffer, &count, 0), 0);
    EXPECT_EQ(VopP2Close(mask), 0);
  }
  EXPECT_FALSE(std::filesystem::exists(capture));
  EXPECT_EQ(machine.OpenHandleCount(), 0U);
  for (const std::string& line : machine.DebugLines()) {
    EXPECT_TRUE(line == "VopP2Open\n" || line == "VopP2Write\n" || line == "VopP2Read\n" ||
                line == "VopP2Close\n")
        << line;
  }
  EXPECT_EQ(message(), messageAtStart);  // no failure reported
}

// A device whose system calls throw, as they do when memory runs out.
class ThrowingDevice final : public sim::Device {
 public:
  sim::IoResult Write(std::span<const std::uint8_t> /*data*/) override { throw std::bad_alloc(); }
  sim::IoResult Read(std::span<std::uint8_t> /*buffer*/) override { throw std::bad_alloc(); }
};

TEST_F(Dispatch, AnExceptionBelowAnExportIsItsFailureNotTheCallersCrash) {
  machine.AttachDevice("throwing-device", std::make_shared<ThrowingDevice>());
  std::snprintf(param().szOutputFile, sizeof param().szOutputFile, "throwing-device");
  const std::uint8_t data[] = {1};
  std::uint32_t count = 0;
  EXPECT_EQ(VopP2Write(PORT_FILE, data, 1, &count), 0);
  EXPECT_EQ(message(), "VopP2Write: std::bad_alloc\n");
}

}  // namespace
