// PORT_USB through the USB printing support on the simulated machine: the device search by
// vendor and product id, the open, the 4096-byte write chunks, reads and the device ID, and
// what a technician is told when the printer is not there.
#include <array>
#include <cstdio>
#include <numeric>

#include "PrinterPort.h"
#include "VopP2Fixture.h"
#include "platform/FailureReason.h"
#include "sim/UsbPrinterSlot.h"
#include "sim/VersionRecords.h"

namespace {

using sim::UsbInterfaceClass;

class UsbPrintSupport : public VopP2Test {
 protected:
  void SetUp() override {
    VopP2Test::SetUp();
    port = std::make_shared<PrinterPort>();
    port->exclusive = true;
    sim::PlugUsbPrinter(machine, printer, port);
    param().wUsbVendorId = 0x0ABC;
    param().wUsbProductId = 0x0123;
    platform::ClearFailureReason();
  }
  void TearDown() override {
    VopP2SetDebugLevel(-2);
    VopP2Close(PORT_USB);
    VopP2Test::TearDown();
  }
  std::int32_t Write(std::size_t size, std::uint32_t& written) {
    std::vector<std::uint8_t> bytes(size);
    std::iota(bytes.begin(), bytes.end(), std::uint8_t{0});
    return VopP2Write(PORT_USB, bytes.data(), static_cast<std::uint32_t>(size), &written);
  }
  // The debug lines without the system checks' own.
  std::vector<std::string> SearchLines() const {
    std::vector<std::string> lines = machine.DebugLines();
    std::erase_if(lines, [](const std::string& line) { return line.starts_with("GetKindOfOS"); });
    return lines;
  }
  // Printers that are not the one looked for, on the printing support and as USB devices.
  void PlugOthers(int count) {
    for (int i = 0; i < count; ++i) {
      sim::PlugUsbPrinter(machine,
                          {0x0ABC, static_cast<std::uint16_t>(0x0200 + i), "S" + std::to_string(i)},
                          std::make_shared<PrinterPort>());
    }
  }

  // The device instance reads "USB\VID_0ABC&PID_0123\...": upper case in the registry.
  sim::UsbIdentity printer{0x0ABC, 0x0123, "QX4410-7"};
  std::shared_ptr<PrinterPort> port;
};

TEST_F(UsbPrintSupport, SearchFindsThePrinterByItsIdsAndTellsEachStep) {
  PlugOthers(2);
  sim::UnplugUsbPrinter(machine, printer);
  sim::PlugUsbPrinter(machine, printer, port);  // now the last of three
  VopP2SetDebugLevel(110);
  machine.ClearDebugLines();
  ASSERT_EQ(VopP2Open(PORT_USB), 1) << message();
  EXPECT_TRUE(port->open);
  const auto lines = SearchLines();
  const std::string key = std::string(R"(System\CurrentControlSet\Control\DeviceClasses\)") +
                          R"({28d78fad-5a12-11d1-ae5b-0000f803a8c2}\##?#usb#vid_0abc&pid_0123)" +
                          R"(#QX4410-7#{28d78fad-5a12-11d1-ae5b-0000f803a8c2})" + "\n";
  const std::vector<std::string> expected{"VopP2Open\n", "VopP2OpenUsb\n", "GetDevicePath\n",
                                          "GetDevicePath (USB2.0)\n", "GetDevicePathPart\n"};
  ASSERT_EQ(lines.size(), expected.size() + 6);  // a key and an id line per printer
  EXPECT_TRUE(std::equal(expected.begin(), expected.end(), lines.begin()));
  EXPECT_TRUE(Logged("vid_0abc&pid_0200 == vid_0abc&pid_0123\n"));
  EXPECT_EQ(lines.end()[-2], key);
  EXPECT_EQ(lines.back(), "vid_0abc&pid_0123 == vid_0abc&pid_0123\n");
  EXPECT_EQ(machine.deviceInterfaces().OpenSetCount(), 0U);
  EXPECT_EQ(machine.registry().OpenKeyCount(), 0U);

  // Level 100 leaves out the keys and ids; the USB device search alone with fForceUsb11.
  VopP2Close(PORT_USB);
  param().fForceUsb11 = 1;
  VopP2SetDebugLevel(100);
  machine.ClearDebugLines();
  ASSERT_EQ(VopP2Open(PORT_USB), 1);
  EXPECT_EQ(SearchLines(),
            (std::vector<std::string>{"VopP2Open\n", "VopP2OpenUsb\n", "GetDevicePath\n",
                                      "GetDevicePath (USB1.1)\n", "GetDevicePathPart\n"}));
}

TEST_F(UsbPrintSupport, ConfiguredPathIsUsedWithoutAnySearch) {
  auto elsewhere = std::make_shared<PrinterPort>();
  machine.AttachDevice("/dev/usb/lp3", elsewhere);
  std::snprintf(param().szUsbDevicePath, sizeof param().szUsbDevicePath, "/dev/usb/lp3");
  param().wUsbVendorId = 0x9999;
  VopP2SetDebugLevel(110);
  machine.ClearDebugLines();
  std::uint32_t written = 0;
  EXPECT_EQ(Write(5, written), 1);
  EXPECT_EQ(elsewhere->written.size(), 5U);
  EXPECT_TRUE(port->written.empty());
  for (const std::string& line : machine.DebugLines()) {
    EXPECT_EQ(line.find(" == "), std::string::npos) << line;  // no registry was read
  }
}

TEST_F(UsbPrintSupport, NoMatchingPrinterFailsTheOpenAndSaysWhatWasThere) {
  param().wUsbProductId = 0x0999;
  PlugOthers(1);
  std::uint32_t written = 4;
  EXPECT_EQ(Write(3, written), 0);
  EXPECT_EQ(written, 0U);
  EXPECT_EQ(message(), "VopP2Open:CreateFile(PORT_USB) : GetDevicePath failure\n");
  EXPECT_EQ(machine.deviceInterfaces().OpenSetCount(), 0U);
  EXPECT_EQ(machine.registry().OpenKeyCount(), 0U);
  const platform::FailureReason reason = platform::LastFailureReason();
  EXPECT_EQ(reason.kind, platform::FailureKind::kNotFound);
  EXPECT_EQ(reason.device, "The USB printer with vendor id 0abc and product id 0999");
  EXPECT_NE(reason.detail.find(R"(USB printers found: USB\VID_0ABC&PID_0123\QX4410-7, )"
                               R"(USB\VID_0ABC&PID_0200\S0.)"),
            std::string::npos)
      << reason.detail;

  // A search looks at 255 interfaces at most.
  sim::UnplugUsbPrinter(machine, printer);
  PlugOthers(255);
  sim::PlugUsbPrinter(machine, printer, port);
  param().wUsbProductId = 0x0123;
  param().fForceUsb11 = 1;
  VopP2SetDebugLevel(-1);
  machine.ClearDebugLines();
  EXPECT_EQ(VopP2Open(PORT_USB), 0);
  EXPECT_TRUE(Logged("GetDevicePathPart : not found target\n"));
  EXPECT_EQ(machine.deviceInterfaces().OpenSetCount(), 0U);
}

TEST_F(UsbPrintSupport, WritesGoInChunksOf4096AndAPartialChunkIsFinished) {
  std::uint32_t written = 0;
  EXPECT_EQ(Write(10000, written), 1);
  EXPECT_EQ(written, 10000U);
  EXPECT_EQ(port->writeSizes, (std::vector<std::size_t>{4096, 4096, 1808}));
  EXPECT_FALSE(port->open);  // opened and closed by the write

  // A device that takes part of a chunk gets the rest next; all bytes arrive in order.
  port->written.clear();
  port->writeLimit = 1000;
  EXPECT_EQ(Write(5000, written), 1);
  EXPECT_EQ(written, 5000U);
  ASSERT_EQ(port->written.size(), 5000U);
  EXPECT_EQ(port->written[4999], static_cast<std::uint8_t>(4999 & 0xFF));

  // One that takes nothing fails instead of being asked forever.
  port->writeLimit = 0;
  EXPECT_EQ(Write(10, written), 0);
  EXPECT_EQ(message(), "VopP2Write(USB) : failure\n");
  EXPECT_FALSE(port->open);

  // One that times out in the middle of a chunk: the count holds what it took.
  port->written.clear();
  port->writeLimit = SIZE_MAX;
  port->stallAfter = 6000;
  port->stallError = platform::kErrorSemTimeout;
  EXPECT_EQ(Write(10000, written), 0);
  EXPECT_EQ(written, 6000U);
}

TEST_F(UsbPrintSupport, FailuresCloseThePortAndTheNextCallSearchesAgain) {
  ASSERT_EQ(VopP2Open(PORT_USB), 1);
  EXPECT_EQ(VopP2Open(PORT_USB), 1);  // open already: not opened twice
  EXPECT_EQ(port->opens, 1);
  param().fForceVopUsb = 1;  // changed by the caller while the port is open
  VopP2Close(PORT_USB);
  param().fForceVopUsb = 0;
  EXPECT_EQ(machine.OpenHandleCount(), 0U);

  // Another program holds the printer: the open is refused.
  const std::string other = sim::UsbInterfacePath(printer, UsbInterfaceClass::kUsbDevice);
  const platform::Handle held =
      machine.CreateFile(other.c_str(), platform::kGenericWrite, 0, platform::kOpenExisting, 0);
  ASSERT_NE(held, platform::kInvalidHandle);
  EXPECT_EQ(VopP2Open(PORT_USB), 0);
  EXPECT_EQ(message(), "VopP2Open:CreateFile(PORT_USB) : failure\n");
  machine.CloseHandle(held);

  // Unplugged while open: the write fails cleanly and the port is closed.
  ASSERT_EQ(VopP2Open(PORT_USB), 1);
  sim::UnplugUsbPrinter(machine, printer);
  std::uint32_t written = 9;
  EXPECT_EQ(Write(100, written), 0);
  EXPECT_EQ(message(), "VopP2Write(USB) : failure\n");
  EXPECT_EQ(Write(100, written), 0);
  EXPECT_EQ(message(), "VopP2Open:CreateFile(PORT_USB) : GetDevicePath failure\n");
  sim::PlugUsbPrinter(machine, printer, port);
  port->Close();  // the handle on the unplugged device went with it
  EXPECT_EQ(Write(100, written), 1);
}

TEST_F(UsbPrintSupport, ReadsAndTheDeviceIdStayInsideTheCallersBuffer) {
  port->replies.push_back({0x1B, 0x01, 0x00, 0x42});
  std::array<std::uint8_t, 256> buffer{};
  std::uint32_t read = 0;
  EXPECT_EQ(VopP2Read(PORT_USB, buffer.data(), 256, &read, 0x10), 1);
  EXPECT_EQ(read, 4U);
  EXPECT_EQ(port->readSizes, (std::vector<std::size_t>{256}));
  EXPECT_EQ(VopP2Read(PORT_USB, buffer.data(), 256, &read, 0), 1);  // a silent printer
  EXPECT_EQ(read, 0U);

  std::array<std::uint8_t, 1100> large{};
  EXPECT_EQ(VopP2Read(PORT_USB, large.data(), 1100, &read, 4), 1);
  const std::size_t idLength = port->deviceId.size();
  EXPECT_EQ(read, idLength + 1);
  EXPECT_EQ(large[0], 0);
  EXPECT_EQ(large[1], idLength + 1);
  EXPECT_EQ(std::string(large.begin() + 2, large.begin() + 2 + static_cast<long>(idLength)),
            port->deviceId);

  // A small buffer gets no more than it holds; one without room for the length gets nothing.
  std::array<std::uint8_t, 12> small{};
  small.fill(0xEE);
  EXPECT_EQ(VopP2Read(PORT_USB, small.data(), 10, &read, 4), 1);
  EXPECT_EQ(small[10], 0xEE);
  EXPECT_EQ(read, 9U);
  EXPECT_EQ(port->idRooms, (std::vector<std::size_t>{1022, 1022}));
  EXPECT_EQ(VopP2Read(PORT_USB, small.data(), 1, &read, 4), 0);
  EXPECT_EQ(port->idRooms.size(), 2U);
}

}  // namespace
