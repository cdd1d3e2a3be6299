#include "sim/Machine.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "FileText.h"
#include "TempFolder.h"
#include "sim/VersionRecords.h"

namespace {

using namespace platform;

// A device that records what reaches it.
class Recorder final : public sim::Device {
 public:
  sim::IoResult Open() override {
    ++opens;
    return refuseOpen ? sim::IoResult::Failed(kErrorAccessDenied) : sim::IoResult::Done();
  }
  void Close() override { ++closes; }
  sim::IoResult Write(std::span<const std::uint8_t> data) override {
    bytes.insert(bytes.end(), data.begin(), data.end());
    return sim::IoResult::Done(static_cast<std::uint32_t>(data.size()));
  }
  sim::IoResult Read(std::span<std::uint8_t> buffer) override {
    buffer[0] = 0x5A;
    return sim::IoResult::Done(1);
  }
  int opens = 0;
  int closes = 0;
  bool refuseOpen = false;
  std::vector<std::uint8_t> bytes;
};

Handle OpenDevice(sim::Machine& machine, const char* path) {
  return machine.CreateFile(path, kGenericRead | kGenericWrite, 0, kOpenExisting,
                            kFileAttributeNormal);
}

TEST(SimClock, MovesOnlyWhenSleptAdvancedOrSteppedPerReading) {
  sim::Machine machine;
  machine.SetTickCount(0xFFFFFF00U);
  machine.SetTimeOfDaySeconds(100);
  EXPECT_EQ(machine.GetTickCount(), 0xFFFFFF00U);
  EXPECT_EQ(machine.GetTickCount(), 0xFFFFFF00U);
  machine.Sleep(10000);                                     // ten seconds of Busy, at no cost
  EXPECT_EQ(machine.GetTickCount(), 0xFFFFFF00U + 10000U);  // wraps as the real one does
  EXPECT_EQ(machine.GetTimeOfDaySeconds(), 110U);
  EXPECT_EQ(machine.SleptMilliseconds(), 10000U);
  machine.AdvanceClock(999);
  EXPECT_EQ(machine.GetTimeOfDaySeconds(), 110U);
  machine.SetClockStepPerReading(1);
  EXPECT_EQ(machine.GetTimeOfDaySeconds(), 111U);
  EXPECT_EQ(machine.SleptMilliseconds(), 10000U);
}

TEST(SimMachine, ReportsTheVersionRecordItIsGivenAndCapturesDebugLines) {
  sim::Machine machine;
  OsVersionInfo record;
  ASSERT_TRUE(machine.GetVersionEx(&record));
  EXPECT_EQ(record.dwPlatformId, kVerPlatformWin32Nt);
  EXPECT_EQ(record.dwMinorVersion, 1U);
  machine.SetVersion(sim::VersionRecord(0, 3, 95, 77));
  ASSERT_TRUE(machine.GetVersionEx(&record));
  EXPECT_EQ(record.dwMajorVersion, 3U);
  EXPECT_EQ(record.dwBuildNumber, 77U);

  machine.OutputDebugString("one\n");
  machine.OutputDebugString("two\n");
  EXPECT_EQ(machine.DebugLines(), (std::vector<std::string>{"one\n", "two\n"}));
  machine.ClearDebugLines();
  machine.ForwardDebugOutput(true);
  machine.OutputDebugString("");
  EXPECT_TRUE(machine.DebugLines().empty());  // passed on, not kept as well
}

TEST(SimDevices, HandlesReachTheAttachedDeviceByPathInAnyCase) {
  sim::Machine machine;
  auto device = std::make_shared<Recorder>();
  machine.AttachDevice(R"(\\.\LPT1)", device);
  const Handle handle = OpenDevice(machine, R"(\\.\lpt1)");
  ASSERT_NE(handle, kInvalidHandle);
  std::uint32_t count = 0;
  const std::uint8_t data[] = {1, 2, 3};
  EXPECT_TRUE(machine.WriteFile(handle, data, 3, &count));
  EXPECT_EQ(count, 3U);
  std::uint8_t in[4] = {};
  EXPECT_TRUE(machine.ReadFile(handle, in, sizeof in, &count));
  EXPECT_EQ(in[0], 0x5A);
  EXPECT_FALSE(machine.DeviceIoControl(handle, kIoctlParQueryDeviceId, nullptr, 0, in, 4, &count));
  EXPECT_EQ(machine.GetLastError(), kErrorInvalidParameter);
  EXPECT_EQ(machine.OpenHandleCount(), 1U);
  EXPECT_TRUE(machine.CloseHandle(handle));
  EXPECT_EQ(device->bytes, (std::vector<std::uint8_t>{1, 2, 3}));
  EXPECT_EQ(device->closes, 1);
  EXPECT_EQ(machine.OpenHandleCount(), 0U);

  device->refuseOpen = true;
  EXPECT_EQ(OpenDevice(machine, R"(\\.\LPT1)"), kInvalidHandle);
  EXPECT_EQ(machine.GetLastError(), kErrorAccessDenied);
}

TEST(SimDevices, DetachedDeviceFailsItsHandlesAndUnknownDevicesAreNotFound) {
  sim::Machine machine;
  machine.AttachDevice(R"(\\.\COM1)", std::make_shared<Recorder>());
  const Handle handle = OpenDevice(machine, R"(\\.\COM1)");
  machine.DetachDevice(R"(\\.\COM1)");
  std::uint32_t count = 0;
  EXPECT_FALSE(machine.WriteFile(handle, "x", 1, &count));
  EXPECT_EQ(machine.GetLastError(), kErrorDeviceNotConnected);
  EXPECT_TRUE(machine.CloseHandle(handle));
  EXPECT_FALSE(machine.CloseHandle(handle));
  EXPECT_EQ(machine.GetLastError(), kErrorInvalidHandle);

  EXPECT_EQ(OpenDevice(machine, R"(\\.\COM1)"), kInvalidHandle);  // never the real tty
  EXPECT_EQ(machine.GetLastError(), kErrorFileNotFound);
  CommState state;
  const Handle recorder =
      (machine.AttachDevice("dev", std::make_shared<Recorder>()), OpenDevice(machine, "dev"));
  EXPECT_FALSE(machine.GetCommState(recorder, &state));
  EXPECT_EQ(machine.GetLastError(), kErrorInvalidFunction);
  machine.CloseHandle(recorder);
}

TEST(SimDevices, OrdinaryPathsAreRealFiles) {
  testsupport::TempFolder folder;
  const std::string path = folder.File("capture.prn");
  sim::Machine machine;
  Handle handle =
      machine.CreateFile(path.c_str(), kGenericWrite, 0, kOpenAlways, kFileAttributeNormal);
  ASSERT_NE(handle, kInvalidHandle);
  std::uint32_t count = 0;
  EXPECT_TRUE(machine.WriteFile(handle, "abc", 3, &count));
  std::int64_t end = 0;
  EXPECT_TRUE(machine.SetFilePointerEx(handle, 0, &end, kFileEnd));
  EXPECT_EQ(end, 3);
  EXPECT_TRUE(machine.CloseHandle(handle));
  EXPECT_EQ(testsupport::FileText(path), "abc");

  const std::string missing = folder.File("no/folder/x.prn");
  EXPECT_EQ(
      machine.CreateFile(missing.c_str(), kGenericWrite, 0, kOpenAlways, kFileAttributeNormal),
      kInvalidHandle);
  EXPECT_EQ(machine.GetLastError(), kErrorPathNotFound);
}

int StandInAnswer() {
  return 7;
}

TEST(SimModules, StandInsAnswerByNameAndRealModulesCanBeRefused) {
  sim::Machine machine;
  machine.RegisterModule("vopusb", {{"VopUsb_Open", reinterpret_cast<void*>(&StandInAnswer)}});
  ModuleHandle module = machine.LoadLibrary("VOPUSB");
  ASSERT_NE(module, nullptr);
  EXPECT_EQ(machine.ModuleReferences("vopusb"), 1);
  EXPECT_EQ(machine.GetProcAddress(module, "VopUsb_Open"), reinterpret_cast<void*>(&StandInAnswer));
  EXPECT_EQ(machine.GetProcAddress(module, "VopUsb_Close"), nullptr);
  EXPECT_EQ(machine.GetLastError(), kErrorProcNotFound);
  EXPECT_TRUE(machine.FreeLibrary(module));
  EXPECT_EQ(machine.ModuleReferences("vopusb"), 0);

  EXPECT_EQ(machine.LoadLibrary("no_such_module_anywhere"), nullptr);
  EXPECT_EQ(machine.GetLastError(), kErrorModNotFound);
  machine.AllowRealModules(false);
  EXPECT_EQ(machine.LoadLibrary("zarnik_platform"), nullptr);
  EXPECT_EQ(machine.GetLastError(), kErrorModNotFound);
}

class Latch final : public sim::PortRegisters {
 public:
  std::uint16_t Base() const override { return 0x378; }
  std::uint8_t In(std::uint16_t address) override { return address == 0x379 ? value : 0; }
  void Out(std::uint16_t address, std::uint8_t written) override {
    if (address == 0x378) {
      value = written;
    }
  }
  std::uint8_t value = 0;
};

TEST(SimPorts, RegistersAnswerOnlyWhileTheirPortIsClaimed) {
  sim::Machine machine;
  std::uint8_t value = 0x5A;
  EXPECT_FALSE(machine.ClaimPort(0x378));  // nothing attached
  EXPECT_EQ(machine.GetLastError(), kErrorFileNotFound);
  machine.AttachPortRegisters(std::make_shared<Latch>());
  EXPECT_FALSE(machine.PortOut(0x378, 0x12));  // not claimed
  EXPECT_FALSE(machine.ClaimPort(0x278));
  ASSERT_TRUE(machine.ClaimPort(0x378));
  EXPECT_FALSE(machine.ClaimPort(0x378));  // one claim at a time
  EXPECT_TRUE(machine.PortOut(0x378, 0x34));
  EXPECT_TRUE(machine.PortIn(0x379, &value));
  EXPECT_EQ(value, 0x34);
  EXPECT_FALSE(machine.PortIn(0x37B, &value));  // not one of the port's registers
  machine.FailPortAccess(0x379, kErrorDeviceNotConnected);
  value = 0x5A;
  EXPECT_FALSE(machine.PortIn(0x379, &value));
  EXPECT_EQ(machine.GetLastError(), kErrorDeviceNotConnected);
  EXPECT_EQ(value, 0x5A);
  EXPECT_EQ(machine.PortAccesses().reads, 1U);
  EXPECT_EQ(machine.PortAccesses().writes, 1U);
  machine.ReleasePort(0x378);
  EXPECT_FALSE(machine.PortOut(0x378, 0x12));
}

TEST(SimInstall, ScopedInstallPutsThePreviousBackendBack) {
  sim::Machine machine;
  {
    sim::ScopedInstall installed(machine);
    EXPECT_EQ(&Current(), &machine);
  }
  EXPECT_EQ(&Current(), &RealMachine());
}

}  // namespace
