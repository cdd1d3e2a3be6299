// PORT_USB through the USB bridge: loading it and its entry points, undoing a failed open,
// and the real bridge library against the virtual printer on the maker's USB device.
#include <array>
#include <map>
#include <string>
#include <vector>

#include "VopP2Fixture.h"
#include "VopUsb.h"
#include "platform/Services.h"
#include "platform/VopUsbDriver.h"
#include "sim/MakerUsbDevice.h"
#include "sim/printer/PrinterOnMakerUsb.h"

namespace {

const std::string kStartJob("\x1B\x40\x00\x02\x00\xBF\xFF\x10\x2B", 9);

// A stand-in bridge whose pipes are those of the virtual printer's device.
struct StandIn {
  std::int32_t openResult = 3;
  std::array<bool, 2> pipeFails{};
  std::string devicePath;
  std::vector<std::int32_t> closed;
  int opens = 0;
};
StandIn standIn;

std::int32_t StandInOpen() {
  ++standIn.opens;
  return standIn.openResult;
}
void StandInClose(std::int32_t id) {
  standIn.closed.push_back(id);
}
VopUsbPipe StandInOpenPipe(std::int32_t /*id*/, std::uint32_t interfaceNumber, std::uint32_t pipe) {
  if (standIn.pipeFails.at(pipe)) {
    return -1;
  }
  const std::string path =
      platform::vopusb::PipePath(standIn.devicePath, static_cast<std::uint8_t>(interfaceNumber),
                                 static_cast<std::uint8_t>(pipe));
  return platform::Current().CreateFile(path.c_str(),
                                        platform::kGenericRead | platform::kGenericWrite, 3,
                                        platform::kOpenExisting, 0);
}
std::int32_t StandInResetPipe(VopUsbPipe /*pipe*/) {
  return 1;
}
std::int32_t StandInClassRequest(std::int32_t /*id*/, std::uint32_t /*direction*/,
                                 std::uint32_t /*recipient*/, std::uint32_t /*request*/,
                                 std::uint32_t /*value*/, std::uint32_t /*index*/,
                                 std::uint32_t /*length*/, void* /*data*/) {
  return 0;
}

class UsbBridgePathTest : public VopP2Test {
 protected:
  void SetUp() override {
    VopP2Test::SetUp();
    param().fForceVopUsb = 1;
    standIn = StandIn{};
    standIn.devicePath = usb.DevicePath();
    sim::AttachMakerUsbDevice(machine, usb.DevicePath(), usb.Node(), {usb.Pipe(0), usb.Pipe(1)});
  }
  void TearDown() override {
    param().fForceVopUsb = 1;
    VopP2Close(PORT_USB);
    EXPECT_EQ(machine.OpenHandleCount(), 0U);
    VopP2Test::TearDown();
  }

  // Registers the stand-in bridge, without the entry point missing names.
  void UseStandIn(const std::string& missing = "") {
    std::map<std::string, void*> symbols{
        {"VopUsb_Open", reinterpret_cast<void*>(&StandInOpen)},
        {"VopUsb_Close", reinterpret_cast<void*>(&StandInClose)},
        {"VopUsb_OpenPipe", reinterpret_cast<void*>(&StandInOpenPipe)},
        {"VopUsb_ResetPipe", reinterpret_cast<void*>(&StandInResetPipe)},
        {"VopUsb_ClassRequest", reinterpret_cast<void*>(&StandInClassRequest)}};
    symbols.erase(missing);
    machine.RegisterModule("vopusb", symbols);
  }

  // A Start Job frame written through the bridge; the result, with the count in written.
  std::int32_t WriteStartJob() {
    written = 99;
    return VopP2Write(PORT_USB, reinterpret_cast<const std::uint8_t*>(kStartJob.data()), 9,
                      &written);
  }

  std::shared_ptr<sim::VirtualPrinter> printer = std::make_shared<sim::VirtualPrinter>();
  sim::PrinterOnMakerUsb usb{printer};
  std::uint32_t written = 0;
};

TEST_F(UsbBridgePathTest, AMissingLibraryOrEntryPointFailsAndFreesTheLibrary) {
  machine.AllowRealModules(false);
  EXPECT_EQ(WriteStartJob(), 0);
  EXPECT_EQ(written, 0U);
  EXPECT_EQ(message(), "OpenVOPUSB:LoadLibrary : Can NOT load VOPUSB.SYS\n");

  for (const char* name : {"VopUsb_Open", "VopUsb_Close", "VopUsb_OpenPipe", "VopUsb_ResetPipe",
                           "VopUsb_ClassRequest"}) {
    UseStandIn(name);
    EXPECT_EQ(WriteStartJob(), 0) << name;
    EXPECT_EQ(message(), std::string("OpenVOPUSB:GetProcAddress(") + name + ") : failure\n");
    EXPECT_EQ(machine.ModuleReferences("vopusb"), 0) << name;
  }
  EXPECT_EQ(standIn.opens, 0);
  EXPECT_TRUE(printer->Received().empty());
}

TEST_F(UsbBridgePathTest, AFailedOpenClosesWhatItOpenedAndFreesTheLibrary) {
  UseStandIn();
  standIn.openResult = -1;
  EXPECT_EQ(WriteStartJob(), 0);
  EXPECT_EQ(message(), "OpenVOPUSB:pfnVopUsb_Open : failure\n");
  EXPECT_TRUE(standIn.closed.empty());

  standIn.openResult = 3;
  standIn.pipeFails = {false, true};
  EXPECT_EQ(WriteStartJob(), 0);
  EXPECT_EQ(message(), "OpenVOPUSB:pfnVopUsb_OpenPipe(PIPE1) : failure\n");

  standIn.pipeFails = {true, false};
  std::array<std::uint8_t, 32> reply{};
  std::uint32_t read = 99;
  EXPECT_EQ(VopP2Read(PORT_USB, reply.data(), 32, &read, 0), 0);
  EXPECT_EQ(read, 0U);
  EXPECT_EQ(message(), "OpenVOPUSB:pfnVopUsb_OpenPipe(PIPE0) : failure\n");
  EXPECT_EQ(standIn.closed, (std::vector<std::int32_t>{3, 3}));
  EXPECT_EQ(machine.OpenHandleCount(), 0U);  // the read pipe opened before is closed
  EXPECT_EQ(machine.ModuleReferences("vopusb"), 0);
}

TEST_F(UsbBridgePathTest, TheRealBridgeCarriesFramesRepliesAndTheDeviceId) {
  VopP2SetDebugLevel(80);
  EXPECT_EQ(WriteStartJob(), 1);
  EXPECT_EQ(written, 9U);
  EXPECT_TRUE(printer->JobOpen());
  EXPECT_TRUE(Logged("OpenVOPUSB\n"));
  EXPECT_TRUE(Logged("WriteFile(USB) = dwDataLength:00000009h dwWrittenLength:00000009h\n"));
  EXPECT_TRUE(Logged("CloseVOPUSB\n"));
  EXPECT_EQ(machine.OpenHandleCount(), 0U);  // the write opened the port and closed it again

  std::array<std::uint8_t, 256> reply{};
  std::uint32_t read = 0;
  EXPECT_EQ(VopP2Read(PORT_USB, reply.data(), 256, &read, 0), 1);
  EXPECT_EQ(read, 32U);
  const std::string deviceId(printer->DeviceId());
  EXPECT_EQ(VopP2Read(PORT_USB, reply.data(), 256, &read, 4), 1);
  EXPECT_EQ(read, deviceId.size() + 2);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(reply.data() + 2), deviceId.size()),
            deviceId);
  // The length the reply gives never counts past the buffer.
  EXPECT_EQ(VopP2Read(PORT_USB, reply.data(), 20, &read, 4), 1);
  EXPECT_EQ(read, 20U);
  EXPECT_EQ(VopP2Read(PORT_USB, reply.data(), 1, &read, 4), 0);
  EXPECT_EQ(message(), "VopP2ReadUsbVOPUSB : failure (dwBufferLength < 2)\n");
  EXPECT_EQ(VopP2Read(PORT_USB, nullptr, 256, &read, 4), 0);
  EXPECT_EQ(message(), "VopP2ReadUsbVOPUSB : failure (lpBuffer == NULL)\n");

  machine.ClearDebugLines();
  VopP2SetDebugLevel(79);
  EXPECT_EQ(WriteStartJob(), 1);
  EXPECT_FALSE(Logged("OpenVOPUSB\n"));
}

TEST_F(UsbBridgePathTest, AnExplicitOpenHoldsOneBridgeUntilTheExplicitClose) {
  ASSERT_EQ(VopP2Open(PORT_USB), 1);
  EXPECT_EQ(machine.OpenHandleCount(), 3U);  // device, read pipe, write pipe
  EXPECT_EQ(VopP2Open(PORT_USB), 1);
  EXPECT_EQ(machine.OpenHandleCount(), 3U);
  EXPECT_EQ(WriteStartJob(), 1);
  EXPECT_EQ(machine.OpenHandleCount(), 3U);
  VopP2Close(PORT_USB);
  EXPECT_EQ(machine.OpenHandleCount(), 0U);

  // The flag changed between the open and the close: the bridge is released all the same.
  ASSERT_EQ(VopP2Open(PORT_USB), 1);
  param().fForceVopUsb = 0;
  VopP2Close(PORT_USB);
  EXPECT_EQ(machine.OpenHandleCount(), 0U);
  EXPECT_EQ(machine.ModuleReferences("vopusb"), 0);
}

TEST_F(UsbBridgePathTest, AFailedPipeTransferClosesTheBridgeAndTheNextCallOpensAgain) {
  ASSERT_EQ(VopP2Open(PORT_USB), 1);
  const std::string writePipe = platform::vopusb::PipePath(usb.DevicePath(), 0, 0);
  machine.DetachDevice(writePipe);
  EXPECT_EQ(WriteStartJob(), 0);
  EXPECT_EQ(message(), "VopP2Write(USB) : failure\n");
  EXPECT_EQ(machine.OpenHandleCount(), 0U);

  machine.AttachDevice(writePipe, usb.Pipe(0));
  EXPECT_EQ(WriteStartJob(), 1);

  ASSERT_EQ(VopP2Open(PORT_USB), 1);
  machine.DetachDevice(usb.DevicePath());
  std::array<std::uint8_t, 64> reply{};
  std::uint32_t read = 0;
  EXPECT_EQ(VopP2Read(PORT_USB, reply.data(), 64, &read, 4), 0);
  EXPECT_EQ(message(), "VopP2Read(USB) : failure\n");
  EXPECT_EQ(machine.OpenHandleCount(), 0U);
}

// The bridge opens the first device it serves; with ids set, another printer is never written.
TEST_F(UsbBridgePathTest, ADeviceWithOtherIdsThanTheSettingsIsRefused) {
  param().wUsbVendorId = sim::PrinterOnMakerUsb::kVendorId;
  param().wUsbProductId = sim::PrinterOnMakerUsb::kProductId + 1;
  EXPECT_EQ(WriteStartJob(), 0);
  EXPECT_EQ(message(),
            "OpenVOPUSB: the USB bridge opened vid_5a52&pid_0001, not the printer set, "
            "vid_5a52&pid_0002\n");
  EXPECT_FALSE(printer->JobOpen());
  EXPECT_EQ(machine.OpenHandleCount(), 0U);
  param().wUsbProductId = sim::PrinterOnMakerUsb::kProductId;
  EXPECT_EQ(WriteStartJob(), 1);
}

// Unloading the bridge closes the devices still open in its table.
TEST_F(UsbBridgePathTest, UnloadingTheBridgeClosesItsDevices) {
  platform::ModuleHandle module = machine.LoadLibrary("vopusb");
  ASSERT_NE(module, nullptr);
  auto open = reinterpret_cast<VopUsbOpenFn>(machine.GetProcAddress(module, "VopUsb_Open"));
  ASSERT_NE(open, nullptr);
  EXPECT_EQ(open(), 0);
  EXPECT_EQ(open(), 1);
  EXPECT_EQ(machine.OpenHandleCount(), 2U);
  machine.FreeLibrary(module);
  EXPECT_EQ(machine.OpenHandleCount(), 0U);
}

}  // namespace
