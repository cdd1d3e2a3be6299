// The USB bridge on the Linux backend, against devices that libusb drives on an emulated
// device tree: which devices the bridge serves, the device's control requests, descriptors,
// reset and check through the bridge library, bulk data on the pipes with the interface taken
// from a kernel driver and given back, a silent device, a stalled one, an unplugged one and one
// in use; the printing support's libusb path; and zarnik-cli through the bridge to a virtual
// printer.
#include <gtest/gtest.h>
#include <sys/mman.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "CliFixture.h"
#include "EmulatedUsbfs.h"
#include "InterfacePaths.h"
#include "VopP2.h"
#include "VopUsb.h"
#include "platform/FailureReason.h"
#include "platform/Services.h"
#include "platform/VopUsbDriver.h"

namespace {

using namespace platform;
using usb_test::EmulatedUsbDevice;
using usb_test::UsbDeviceLayout;
using SetupBytes = std::array<std::uint8_t, 8>;

UsbDeviceLayout OtherDevice(std::uint16_t vendorId, std::uint16_t productId) {
  UsbDeviceLayout layout;
  layout.vendorId = vendorId;
  layout.productId = productId;
  layout.interfaceClass = 0xFF;
  return layout;
}

class BridgeOnLinux : public cli_test::CliTest {
 protected:
  void SetUp() override {
    CliTest::SetUp();
    usb_test::SharedTestbed();
    unsetenv("ZARNIK_USB_BRIDGE_IDS");
    setenv("XDG_CONFIG_HOME", dir_.c_str(), 1);
  }
  std::vector<std::string> BridgePaths() {
    return usb_test::InterfacePaths(os, vopusb::kInterfaceClass);
  }
  static std::string PathOf(const EmulatedUsbDevice& device, const char* ids) {
    return R"(\\?\usb#)" + std::string(ids) + "#" + device.Port() +
           "#{ddf29561-cf6b-11d4-8237-00a0c9c8e83c}";
  }

  Services& os = RealMachine();
};

TEST_F(BridgeOnLinux, ServesPrintersAndTheDevicesTheUserAdds) {
  setenv("ZARNIK_USB_BRIDGE_IDS", "abcd:0123, nonsense # a comment", 1);
  std::filesystem::create_directories(Path("zarnik"));
  Write("zarnik/usb-bridge.conf", "# added by hand\n1:2\n");
  const EmulatedUsbDevice notAdded(OtherDevice(0x1D6B, 0x0002));
  {
    const EmulatedUsbDevice printer;
    const EmulatedUsbDevice added(OtherDevice(0xABCD, 0x0123));
    const EmulatedUsbDevice inFile(OtherDevice(0x0001, 0x0002));
    std::vector<std::string> paths = BridgePaths();
    std::sort(paths.begin(), paths.end());
    std::vector<std::string> expected = {PathOf(printer, "vid_04b8&pid_0005"),
                                         PathOf(added, "vid_abcd&pid_0123"),
                                         PathOf(inFile, "vid_0001&pid_0002")};
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(paths, expected);
  }
  ClearFailureReason();
  EXPECT_TRUE(BridgePaths().empty());
  const FailureReason reason = LastFailureReason();
  EXPECT_EQ(reason.kind, FailureKind::kNotFound);
  EXPECT_NE(reason.detail.find("added: abcd:0123, 0001:0002."), std::string::npos) << reason.detail;
  EXPECT_NE(reason.detail.find("Not understood: 'nonsense' (ZARNIK_USB_BRIDGE_IDS)."),
            std::string::npos);
  EXPECT_NE(reason.detail.find("USB devices present: 1d6b:0002."), std::string::npos);
}

// A FIFO where the list of added devices is looked for is passed over, not waited on.
TEST_F(BridgeOnLinux, AFifoInPlaceOfTheAddedDevicesFileIsPassedOver) {
  std::filesystem::create_directories(Path("zarnik"));
  ASSERT_EQ(::mkfifo(Path("zarnik/usb-bridge.conf").c_str(), 0600), 0);
  const EmulatedUsbDevice printer;
  EXPECT_EQ(BridgePaths(), std::vector<std::string>{PathOf(printer, "vid_04b8&pid_0005")});
}

TEST_F(BridgeOnLinux, DeviceAnswersControlRequestsDescriptorsResetAndCheck) {
  EmulatedUsbDevice device;
  const std::int32_t id = VopUsb_Open();
  ASSERT_GE(id, 0);

  std::uint8_t descriptor[64] = {};
  ASSERT_EQ(VopUsb_GetDeviceDescriptor(id, descriptor), 1);
  EXPECT_EQ(descriptor[8], 0xB8);  // idVendor 04b8
  EXPECT_EQ(descriptor[10], 0x05);
  ASSERT_EQ(VopUsb_GetConfigurationDescriptor(id, descriptor, sizeof descriptor), 1);
  EXPECT_EQ(descriptor[2], 9 + 9 + 7 + 7);  // wTotalLength

  std::uint8_t reply[256] = {};
  ASSERT_NE(VopUsb_ClassRequest(id, 1, 1, 0, 0, 0, sizeof reply, reply), 0);  // device ID
  const std::string deviceId = UsbDeviceLayout{}.deviceId;
  EXPECT_EQ(reply[1], deviceId.size() + 2);
  EXPECT_EQ(std::string(reinterpret_cast<char*>(reply) + 2, deviceId.size()), deviceId);
  char data[] = "abc";
  ASSERT_NE(VopUsb_VendorRequest(id, 0, 0, 0x42, 0x1234, 0x0005, 3, data), 0);
  EXPECT_EQ(VopUsb_ClassRequest(id, 1, 1, 5, 0, 0, 8, reply), 0);  // stalled by the device
  EXPECT_EQ(VopUsb_Check(id), VOPUSB_CHECK_OK);
  EXPECT_NE(VopUsb_ResetDevice(id), 0);

  const std::vector<SetupBytes> expected = {
      {0x80, 6, 0, 1, 0, 0, 18, 0}, {0x80, 6, 0, 2, 0, 0, 64, 0},
      {0xA1, 0, 0, 0, 0, 0, 0, 1},  {0x40, 0x42, 0x34, 0x12, 0x05, 0, 3, 0},
      {0xA1, 5, 0, 0, 0, 0, 8, 0},  {0x80, 0, 0, 0, 0, 0, 2, 0}};
  EXPECT_EQ(device.Setups(), expected);
  EXPECT_EQ(device.ControlData(), (std::vector<std::uint8_t>{'a', 'b', 'c'}));
  VopUsb_Close(id);
  // The request to interface 0 claimed it; the reset claimed it again after; closing let go.
  EXPECT_EQ(device.Events(),
            (std::vector<std::string>{"claim 0", "release 0", "reset", "claim 0", "release 0"}));
}

// The printer class's device ID request names its interface in the high byte of wIndex and
// the alternate setting in the low byte: the interface claimed is the one it names.
TEST_F(BridgeOnLinux, DeviceIdRequestClaimsTheInterfaceItNames) {
  EmulatedUsbDevice device;
  const std::int32_t id = VopUsb_Open();
  std::uint8_t reply[64] = {};
  ASSERT_NE(VopUsb_ClassRequest(id, 1, 1, 0, 0, 0x0001, sizeof reply, reply), 0);
  // A room larger than one control transfer carries gets the answer all the same.
  std::vector<std::uint8_t> large(8192);
  EXPECT_NE(VopUsb_ClassRequest(id, 1, 1, 0, 0, 0x0001, 8192, large.data()), 0);
  EXPECT_EQ(large[1], UsbDeviceLayout{}.deviceId.size() + 2);
  EXPECT_EQ(VopUsb_GetConfigurationDescriptor(id, large.data(), 8192), 1);
  VopUsb_Close(id);
  EXPECT_EQ(device.Events(), (std::vector<std::string>{"claim 0", "release 0"}));
}

TEST_F(BridgeOnLinux, PipesCarryBulkDataAndGiveTheInterfaceBack) {
  UsbDeviceLayout layout;
  layout.kernelDriver = true;
  EmulatedUsbDevice device(layout);
  const std::int32_t id = VopUsb_Open();
  ASSERT_GE(id, 0);
  const VopUsbPipe out = VopUsb_OpenPipe(id, 0, 0);
  const VopUsbPipe in = VopUsb_OpenPipe(id, 0, 1);
  ASSERT_NE(out, -1);
  ASSERT_NE(in, -1);
  EXPECT_EQ(VopUsb_OpenPipe(id, 0, 2), -1);
  EXPECT_EQ(VopUsb_OpenPipe(id, 1, 0), -1);

  std::vector<std::uint8_t> data(100000);
  for (std::size_t i = 0; i < data.size(); ++i) {
    data[i] = static_cast<std::uint8_t>(i * 13);
  }
  std::uint32_t count = 0;
  // A caller's null data or buffer with a length is refused before anything moves.
  EXPECT_FALSE(os.WriteFile(out, nullptr, 5, &count));
  EXPECT_EQ(os.GetLastError(), kErrorNoAccess);
  ASSERT_TRUE(os.WriteFile(out, data.data(), static_cast<std::uint32_t>(data.size()), &count));
  EXPECT_EQ(count, data.size());
  EXPECT_EQ(device.Received(), data);

  device.QueueReply({0x1B, 0x01, 0x02, 0x03, 0x04});
  EXPECT_FALSE(os.ReadFile(in, nullptr, 4, &count));
  EXPECT_EQ(os.GetLastError(), kErrorNoAccess);
  std::uint8_t reply[4] = {};
  ASSERT_TRUE(os.ReadFile(in, reply, sizeof reply, &count));  // a packet longer than asked
  EXPECT_EQ(count, 4U);
  ASSERT_TRUE(os.ReadFile(in, reply, sizeof reply, &count));  // its rest
  EXPECT_EQ(count, 1U);
  EXPECT_EQ(reply[0], 0x04);
  ASSERT_TRUE(os.ReadFile(in, reply, sizeof reply, &count));  // silent: nothing, in bounded time
  EXPECT_EQ(count, 0U);
  // A buffer of nearly 4 GiB (address space only; the reply needs its first page): the reply
  // comes into it all the same.
  const std::uint32_t huge = 0xFFFFFF00U;
  void* room = mmap(nullptr, huge, PROT_NONE, MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE, -1, 0);
  ASSERT_NE(room, MAP_FAILED);
  ASSERT_EQ(mprotect(room, 4096, PROT_READ | PROT_WRITE), 0);
  device.QueueReply({0x1B, 0x02});
  EXPECT_TRUE(os.ReadFile(in, room, huge, &count));
  EXPECT_EQ(count, 2U);
  munmap(room, huge);

  EXPECT_FALSE(os.WriteFile(in, data.data(), 1, &count));
  EXPECT_EQ(os.GetLastError(), kErrorInvalidFunction);
  EXPECT_NE(VopUsb_ResetPipe(in), 0);
  EXPECT_TRUE(os.CloseHandle(out));
  EXPECT_TRUE(os.CloseHandle(in));
  VopUsb_Close(id);
  // Both pipes held interface 0, taken from the kernel driver, which has it back now.
  EXPECT_EQ(device.Events(), (std::vector<std::string>{"detach 0", "claim 0", "clear-halt 82",
                                                       "release 0", "attach 0"}));
}

// The port library reads a pipe outside the bridge's locks: a control request on the device
// goes through while a read waits for the printer.
TEST_F(BridgeOnLinux, ControlRequestsGoThroughWhileAPipeReadWaits) {
  EmulatedUsbDevice device;
  const std::int32_t id = VopUsb_Open();
  const VopUsbPipe in = VopUsb_OpenPipe(id, 0, 1);
  ASSERT_NE(in, -1);
  std::uint32_t count = 0;
  std::thread reader([&] {
    std::uint8_t reply[8] = {};
    EXPECT_TRUE(os.ReadFile(in, reply, sizeof reply, &count));
  });
  ASSERT_TRUE(device.WaitForWaitingRead());
  EXPECT_EQ(VopUsb_Check(id), VOPUSB_CHECK_OK);
  device.QueueReply({0x1B, 0x00});  // in time only if the check did not wait for the read
  reader.join();
  EXPECT_EQ(count, 2U);
  EXPECT_TRUE(os.CloseHandle(in));
  VopUsb_Close(id);
}

// A halted endpoint fails the transfer that met it and is cleared, so that the next job goes;
// an unplugged device and one another program claimed fail with their reasons.
TEST_F(BridgeOnLinux, StalledUnpluggedAndInUseDevicesFailWithTheirReasons) {
  {
    EmulatedUsbDevice device;
    const std::int32_t id = VopUsb_Open();
    const VopUsbPipe out = VopUsb_OpenPipe(id, 0, 0);
    ASSERT_NE(out, -1);
    device.HaltOut();
    std::uint32_t count = 0;
    EXPECT_FALSE(os.WriteFile(out, "frame", 5, &count));
    EXPECT_EQ(count, 0U);
    EXPECT_TRUE(os.WriteFile(out, "frame", 5, &count));
    EXPECT_EQ(device.Received().size(), 5U);

    device.UnplugOnNextTransfer();
    ClearFailureReason();
    EXPECT_FALSE(os.WriteFile(out, "frame", 5, &count));
    EXPECT_EQ(os.GetLastError(), kErrorDeviceNotConnected);
    EXPECT_EQ(LastFailureReason().kind, FailureKind::kDeviceGone);
    EXPECT_EQ(VopUsb_Check(id), VOPUSB_CHECK_FAILED);
    EXPECT_TRUE(os.CloseHandle(out));
    VopUsb_Close(id);
  }
  EmulatedUsbDevice busy;
  busy.ClaimElsewhere();
  const std::int32_t id = VopUsb_Open();
  ClearFailureReason();
  EXPECT_EQ(VopUsb_OpenPipe(id, 0, 0), -1);
  EXPECT_EQ(LastFailureReason().kind, FailureKind::kInUse);
  VopUsb_Close(id);
}

// The printing support reaches a printer that has no kernel driver through libusb: data on
// its bulk OUT endpoint, the device ID by the printer class's request.
TEST_F(BridgeOnLinux, PrintingSupportTalksToAPrinterWithoutKernelDriver) {
  EmulatedUsbDevice printer;
  VopP2Param& param = *VopP2GetParamPtr();
  param.wUsbVendorId = 0x04B8;
  param.wUsbProductId = 0x0005;
  param.fForceVopUsb = 0;
  const std::uint8_t frame[] = {0x1B, 0x40, 0x00, 0x02};
  std::uint32_t count = 0;
  ASSERT_EQ(VopP2Write(PORT_USB, frame, sizeof frame, &count), 1) << VopP2GetMessage();
  EXPECT_EQ(printer.Received(), std::vector<std::uint8_t>(frame, frame + sizeof frame));
  std::uint8_t id[128] = {};
  ASSERT_EQ(VopP2Read(PORT_USB, id, sizeof id, &count, 4), 1) << VopP2GetMessage();
  const std::string deviceId = UsbDeviceLayout{}.deviceId;
  EXPECT_EQ(std::string(reinterpret_cast<char*>(id) + 2, deviceId.size()), deviceId);
  // A room near 4 GiB (address space only; the ID needs its first page) takes it all the same.
  const Handle handle = os.CreateFile(usb_test::InterfacePaths(os, kGuidUsbDevice).at(0).c_str(),
                                      kGenericRead | kGenericWrite, 0, kOpenExisting, 0);
  ASSERT_NE(handle, kInvalidHandle);
  const std::uint32_t huge = 0xFFFFFFFFU;
  void* room = mmap(nullptr, huge, PROT_NONE, MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE, -1, 0);
  ASSERT_NE(room, MAP_FAILED);
  ASSERT_EQ(mprotect(room, 4096, PROT_READ | PROT_WRITE), 0);
  EXPECT_TRUE(os.DeviceIoControl(handle, kIoctlParQueryDeviceId, nullptr, 0, room, huge, &count));
  EXPECT_EQ(std::string(static_cast<char*>(room), count), deviceId);
  munmap(room, huge);
  EXPECT_TRUE(os.CloseHandle(handle));

  // A printer whose first setting only takes data is used through its two-way setting, so
  // its replies come back.
  UsbDeviceLayout sendOnlyFirst;
  sendOnlyFirst.productId = 0x0007;
  sendOnlyFirst.firstSetting = {{0x01, 2, 512}};
  EmulatedUsbDevice twoSettings(sendOnlyFirst);
  twoSettings.QueueReply({0x1B, 0x01, 0x02});
  param.wUsbProductId = 0x0007;
  ASSERT_EQ(VopP2Write(PORT_USB, frame, sizeof frame, &count), 1) << VopP2GetMessage();
  std::uint8_t reply[16] = {};
  ASSERT_EQ(VopP2Read(PORT_USB, reply, sizeof reply, &count, 0), 1) << VopP2GetMessage();
  EXPECT_EQ(count, 3U);
  EXPECT_EQ(reply[2], 0x02);

  // A wrong length field does not cut the text: libusb says how many bytes came.
  UsbDeviceLayout quirky;
  quirky.productId = 0x0006;
  quirky.idLengthCountsTextOnly = true;
  EmulatedUsbDevice second(quirky);
  param.wUsbProductId = 0x0006;
  ASSERT_EQ(VopP2Read(PORT_USB, id, sizeof id, &count, 4), 1) << VopP2GetMessage();
  EXPECT_EQ(std::string(reinterpret_cast<char*>(id) + 2, deviceId.size()), deviceId);
}

// zarnik-cli, through the bridge on this machine, to the virtual printer behind an emulated
// printer-class device.
TEST_F(BridgeOnLinux, CommandLineFlashesAndReadsVersionsThroughTheBridge) {
  sim::VirtualPrinter virtualPrinter;
  EmulatedUsbDevice printer;
  printer.Attach(&virtualPrinter);
  Write("s.ini", "[System]\nOutput=1\nForceVOPUSB=1\nDebugLevel=80\n");
  Write("payload.bin", std::string(3000, 'p'));
  ASSERT_EQ(Cli("add-header payload.bin demo.vop").status, 0);
  setenv("ZARNIK_DEBUG_OUTPUT", "stderr", 1);
  const cli_test::CliRun flash = Cli("--settings s.ini flash demo.vop --type demo --yes");
  const cli_test::CliRun version = Cli("--settings s.ini version");
  unsetenv("ZARNIK_DEBUG_OUTPUT");
  EXPECT_EQ(flash.status, 0) << flash.out << flash.err;
  EXPECT_NE(flash.out.find("Complete: Writing complete!\n"), std::string::npos) << flash.out;
  EXPECT_NE(flash.err.find("OpenVOPUSB\n"), std::string::npos);
  EXPECT_NE(flash.err.find("CloseVOPUSB\n"), std::string::npos);
  EXPECT_EQ(version.status, 0) << version.err;
  EXPECT_EQ(version.out, "Get Version:\nController FW: EF12\nEngine FW: 0102.0304.0506\n");
}

}  // namespace
