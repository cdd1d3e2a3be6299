// The bridge library's exports on the simulated machine, against the virtual printer on the
// maker's USB device.
#include <algorithm>
#include <array>
#include <string>

#include "BridgeMachine.h"
#include "platform/Services.h"
#include "platform/VopUsbDriver.h"

namespace {

using bridge_test::Bytes;
namespace driver = platform::vopusb;

class BridgeLibraryTest : public bridge_test::BridgeTest {};

TEST_F(BridgeLibraryTest, OpenTakesTheFirstDeviceThatOpensAndANewHandleEveryCall) {
  EXPECT_EQ(VopUsb_Open(), -1);  // no device of the class

  // An interface whose device will not open comes first, then one whose path no slot holds.
  machine.deviceInterfaces().Add(driver::kInterfaceClass, R"(\\?\usb#gone)");
  machine.deviceInterfaces().Add(driver::kInterfaceClass, R"(\\?\usb#)" + std::string(300, 'x'));
  Plug();
  const std::int32_t first = VopUsb_Open();
  const std::int32_t second = VopUsb_Open();
  EXPECT_EQ(first, 0);
  EXPECT_EQ(second, 1);
  EXPECT_EQ(machine.OpenHandleCount(), 2U);
  EXPECT_EQ(machine.deviceInterfaces().OpenSetCount(), 0U);  // every search cleans up

  VopUsb_Close(first);
  EXPECT_EQ(machine.OpenHandleCount(), 1U);
  EXPECT_EQ(VopUsb_Open(), first);  // the first free slot
}

TEST_F(BridgeLibraryTest, TheTableHolds128DevicesAndRefusesTheNextWithoutKeepingItsHandle) {
  Plug();
  for (std::int32_t expected = 0; expected < 128; ++expected) {
    ASSERT_EQ(VopUsb_Open(), expected);
  }
  EXPECT_EQ(VopUsb_Open(), -1);
  EXPECT_EQ(machine.OpenHandleCount(), 128U);
  for (std::int32_t id = 0; id < 128; ++id) {
    VopUsb_Close(id);
  }
  EXPECT_EQ(machine.OpenHandleCount(), 0U);
}

TEST_F(BridgeLibraryTest, IdsThatAreNotOpenFailWithoutReachingTheDriver) {
  Plug();
  const std::int32_t closed = VopUsb_Open();
  VopUsb_Close(closed);
  std::array<std::uint8_t, 64> buffer{};
  for (const std::int32_t id : {closed, -1, 128, 4096}) {
    EXPECT_EQ(VopUsb_Check(id), VOPUSB_CHECK_INVALID_ID) << id;
    EXPECT_EQ(VopUsb_ClassRequest(id, 1, 1, 0, 0, 0, 64, buffer.data()), 0) << id;
    EXPECT_EQ(VopUsb_VendorRequest(id, 0, 0, 1, 0, 0, 0, nullptr), 0) << id;
    EXPECT_EQ(VopUsb_ResetDevice(id), 0) << id;
    EXPECT_EQ(VopUsb_GetDeviceDescriptor(id, buffer.data()), 0) << id;
    EXPECT_EQ(VopUsb_GetConfigurationDescriptor(id, buffer.data(), 64), 0) << id;
    EXPECT_EQ(VopUsb_OpenPipe(id, 0, 0), -1) << id;
    VopUsb_Close(id);
  }
  EXPECT_TRUE(recorder->Calls().empty());
  EXPECT_EQ(machine.OpenHandleCount(), 0U);
}

// The printer class's device identification: device to host, interface, bRequest 0.
TEST_F(BridgeLibraryTest, TheDeviceIdRequestSendsItsHeaderAndBringsTheIdBack) {
  Plug();
  const std::int32_t id = VopUsb_Open();
  std::array<std::uint8_t, 256> reply{};
  reply.fill(0xAA);  // what the device does not send must not read as these
  ASSERT_NE(VopUsb_ClassRequest(id, 1, 1, 0, 0, 0, 256, reply.data()), 0);
  const auto calls = recorder->Calls();
  ASSERT_EQ(calls.size(), 1U);
  EXPECT_EQ(calls[0].code, 0x22000CU);
  EXPECT_EQ(calls[0].in, (Bytes{0x1B, 0, 0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}));
  EXPECT_EQ(calls[0].outSize, 256U);
  const std::string deviceId(printer->DeviceId());
  EXPECT_EQ(reply[0] * 256 + reply[1], static_cast<int>(deviceId.size() + 2));
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(reply.data() + 2), deviceId.size()),
            deviceId);
  EXPECT_TRUE(std::all_of(reply.begin() + static_cast<std::ptrdiff_t>(deviceId.size() + 2),
                          reply.end(), [](std::uint8_t byte) { return byte == 0; }));
}

TEST_F(BridgeLibraryTest, RecipientAndDirectionChooseTheRecordAndRecipientFourSendsNothing) {
  Plug();
  const std::int32_t id = VopUsb_Open();
  std::array<std::uint8_t, 3> data{0xAA, 0xBB, 0xCC};
  std::uint8_t scratch[3] = {};
  // Recipients 0 to 3 (only the low byte counts); the virtual printer knows none of these, so
  // they stall, but each went out with its function code.
  for (std::uint32_t recipient : {0U, 1U, 2U, 3U, 0x102U}) {
    VopUsb_ClassRequest(id, 1, recipient, 7, 0, 0, 3, scratch);
    VopUsb_VendorRequest(id, 1, recipient, 7, 0, 0, 3, scratch);
  }
  EXPECT_EQ(VopUsb_ClassRequest(id, 1, 4, 0, 0, 0, 3, scratch), 0);
  EXPECT_EQ(VopUsb_VendorRequest(id, 0, 4, 0, 0, 0, 3, data.data()), 0);
  // Host to device: the header with flags 0, then the data; only the low 16 bits of wValue,
  // wIndex and wLength count. Soft reset is a request the printer knows.
  EXPECT_NE(VopUsb_ClassRequest(id, 0, 1, 2, 0x12345, 0x10000, 0x10003, data.data()), 0);

  const auto calls = recorder->Calls();
  ASSERT_EQ(calls.size(), 11U);
  const std::uint8_t expected[] = {0x1A, 0x17, 0x1B, 0x18, 0x1C, 0x19, 0x1F, 0x20, 0x1C, 0x19};
  for (std::size_t i = 0; i < 10; ++i) {
    EXPECT_EQ(calls[i].in[0], expected[i]) << i;
  }
  EXPECT_EQ(calls[10].code, 0x220010U);
  EXPECT_EQ(calls[10].in,
            (Bytes{0x1B, 0, 0, 0, 0, 0, 0, 0, 0, 2, 0x45, 0x23, 0, 0, 0, 0, 0xAA, 0xBB, 0xCC}));
  EXPECT_EQ(calls[10].outSize, 0U);
}

TEST_F(BridgeLibraryTest, PipesOpenByTheirPathsAndCarryBulkData) {
  Plug();
  platform::Services& os = platform::Current();
  const std::int32_t id = VopUsb_Open();
  const VopUsbPipe writePipe = VopUsb_OpenPipe(id, 0, 0);
  const VopUsbPipe readPipe = VopUsb_OpenPipe(id, 0x100, 0x201);  // low bytes: 0 and 1
  ASSERT_NE(writePipe, -1);
  ASSERT_NE(readPipe, -1);
  EXPECT_EQ(VopUsb_OpenPipe(id, 0, 2), -1);  // the printer has two endpoints

  const std::string startJob("\x1B\x40\x00\x02\x00\xBF\xFF\x10\x2B", 9);
  std::uint32_t count = 0;
  ASSERT_TRUE(os.WriteFile(writePipe, startJob.data(), 9, &count));
  EXPECT_TRUE(printer->JobOpen());
  std::array<std::uint8_t, 64> reply{};
  ASSERT_TRUE(os.ReadFile(readPipe, reply.data(), 64, &count));
  EXPECT_EQ(count, 32U);

  EXPECT_EQ(VopUsb_ResetPipe(readPipe), 1);
  EXPECT_EQ(VopUsb_ResetPipe(-1), 0);
  os.CloseHandle(writePipe);
  os.CloseHandle(readPipe);
  VopUsb_Close(id);
  EXPECT_EQ(machine.OpenHandleCount(), 0U);
}

TEST_F(BridgeLibraryTest, DescriptorsCheckAndResetAnswerWhileTheDeviceIsThere) {
  Plug();
  const std::int32_t id = VopUsb_Open();
  std::array<std::uint8_t, 18> device{};
  ASSERT_EQ(VopUsb_GetDeviceDescriptor(id, device.data()), 1);
  EXPECT_EQ(device[1], 1);  // device descriptor
  EXPECT_EQ(device[8] | (device[9] << 8), sim::PrinterOnMakerUsb::kVendorId);
  std::array<std::uint8_t, 64> configuration{};
  configuration.fill(0xAA);  // what the device does not send must not read as these
  ASSERT_EQ(VopUsb_GetConfigurationDescriptor(id, configuration.data(), 64), 1);
  EXPECT_EQ(configuration[2], 32);  // total length: configuration, interface, two endpoints
  EXPECT_TRUE(std::all_of(configuration.begin() + 32, configuration.end(),
                          [](std::uint8_t byte) { return byte == 0; }));
  EXPECT_EQ(recorder->Calls()[1].in, (Bytes{2, 0, 0, 0}));
  EXPECT_EQ(VopUsb_Check(id), VOPUSB_CHECK_OK);
  EXPECT_EQ(recorder->Calls().back().outSize, 1024U);
  EXPECT_EQ(VopUsb_ResetDevice(id), 1);

  machine.DetachDevice(usb.DevicePath());  // unplugged: the handle stays, the device is gone
  EXPECT_EQ(VopUsb_Check(id), VOPUSB_CHECK_FAILED);
  EXPECT_EQ(VopUsb_GetDeviceDescriptor(id, device.data()), 0);
  EXPECT_EQ(VopUsb_ResetDevice(id), 0);
}

// A device whose I/O controls throw, as they do when memory runs out.
class ThrowingNode final : public sim::Device {
 public:
  sim::IoResult Write(std::span<const std::uint8_t> /*data*/) override { throw std::bad_alloc(); }
  sim::IoResult Read(std::span<std::uint8_t> /*buffer*/) override { throw std::bad_alloc(); }
  sim::IoResult IoControl(std::uint32_t /*code*/, std::span<const std::uint8_t> /*in*/,
                          std::span<std::uint8_t> /*out*/) override {
    throw std::bad_alloc();
  }
};

TEST_F(BridgeLibraryTest, AnExceptionBelowAnExportIsItsFailureNotTheCallersCrash) {
  sim::AttachMakerUsbDevice(machine, usb.DevicePath(), std::make_shared<ThrowingNode>(), {});
  const std::int32_t id = VopUsb_Open();
  ASSERT_NE(id, -1);
  EXPECT_EQ(VopUsb_Check(id), VOPUSB_CHECK_FAILED);
  std::array<std::uint8_t, 18> device{};
  EXPECT_EQ(VopUsb_GetDeviceDescriptor(id, device.data()), 0);
}

}  // namespace
