// The Linux backend's USB printers on an emulated device tree: the two device searches and
// the registry, the kernel printer node's writes, reads and device ID, a busy printer, an
// unplugged one, and the port library finding the configured printer among several.
#include <gtest/gtest.h>
#include <sys/mman.h>

#include <algorithm>
#include <string>
#include <vector>

#include "CliFixture.h"
#include "InterfacePaths.h"
#include "UsbTestbed.h"
#include "VopP2.h"
#include "platform/FailureReason.h"
#include "platform/Services.h"

namespace {

using namespace platform;
using usb_test::FakePrinter;
using usb_test::PrinterLayout;

constexpr const char* kDeviceClasses = R"(System\CurrentControlSet\Control\DeviceClasses\)";

class UsbPrinterLinux : public testing::Test {
 protected:
  Services& os = RealMachine();

  std::vector<std::string> Paths(const Guid& interfaceClass) {
    return usb_test::InterfacePaths(os, interfaceClass);
  }
  std::string Instance(const std::string& guidText, std::string path) {
    path[0] = path[1] = path[3] = '#';
    RegistryKey key = kNoKey;
    const std::string name = kDeviceClasses + guidText + "\\" + path;
    if (os.RegOpenKeyEx(kHkeyLocalMachine, name.c_str(), kKeyRead, &key) != kRegSuccess) {
      return "(no key)";
    }
    char value[256] = {};
    std::uint32_t length = sizeof value;
    EXPECT_EQ(os.RegQueryValueEx(key, "DeviceInstance", nullptr, value, &length), kRegSuccess);
    EXPECT_EQ(os.RegCloseKey(key), kRegSuccess);
    return value;
  }
  Handle Open(const std::string& path) {
    return os.CreateFile(path.c_str(), kGenericRead | kGenericWrite, 0, kOpenExisting, 0);
  }

  usb_test::UsbTestbed bed;
};

TEST_F(UsbPrinterLinux, SearchesListPrintersAndDevicesUnderPathsThatOutliveTheNode) {
  FakePrinter first;
  PrinterLayout second;
  second.port = "1-2";
  second.productId = 0x0007;
  second.serial = "A#1/2";  // characters a path cannot carry
  second.lpNumber = 3;
  PrinterLayout unbound;  // a printer whose interface has no kernel driver
  unbound.port = "2-1";
  unbound.productId = 0x0009;
  unbound.serial.clear();
  unbound.lpNumber = -1;
  bed.AddPrinter({}, &first);
  bed.AddPrinter(second, nullptr);
  bed.AddPrinter(unbound, nullptr);
  bed.AddOtherDevice("1-3", 0x1D6B, 0x0002);

  const std::string guid = "{28d78fad-5a12-11d1-ae5b-0000f803a8c2}";
  EXPECT_EQ(Paths(kGuidUsbPrintingSupport),
            (std::vector<std::string>{R"(\\?\usb#vid_04b8&pid_0005#SN0001#)" + guid,
                                      R"(\\?\usb#vid_04b8&pid_0007#A_1_2#)" + guid}));
  const std::vector<std::string> devices = Paths(kGuidUsbDevice);
  EXPECT_EQ(devices.size(), 4U);
  const std::string unboundPath =
      R"(\\?\usb#vid_04b8&pid_0009#port-2-1#{a5dcbf10-6530-11d2-901f-00c04fb951ed})";
  EXPECT_NE(std::find(devices.begin(), devices.end(), unboundPath), devices.end());
  EXPECT_EQ(Instance(guid, Paths(kGuidUsbPrintingSupport)[1]), R"(USB\VID_04B8&PID_0007\A_1_2)");
  EXPECT_EQ(Instance("{a5dcbf10-6530-11d2-901f-00c04fb951ed}", unboundPath),
            R"(USB\VID_04B8&PID_0009\port-2-1)");
  EXPECT_EQ(Instance(guid, R"(\\?\usb#vid_04b8&pid_0009#port-2-1#)" + guid), "(no key)");
  EXPECT_TRUE(Paths(Guid{}).empty());
}

TEST_F(UsbPrinterLinux, PrinterNodeWritesReadsAndGivesItsDeviceId) {
  FakePrinter printer;
  printer.deviceId = "MFG:Zarnik;MDL:QX4410;CLS:PRINTER;";
  printer.replies.push_back({0x1B, 0x01, 0x02});
  printer.writeLimit = 1000;  // the driver takes a part at a time
  bed.AddPrinter({}, &printer);
  const Handle handle = Open(Paths(kGuidUsbPrintingSupport).at(0));
  ASSERT_NE(handle, kInvalidHandle) << os.GetLastError();

  std::vector<std::uint8_t> data(5000);
  for (std::size_t i = 0; i < data.size(); ++i) {
    data[i] = static_cast<std::uint8_t>(i * 7);
  }
  std::uint32_t count = 0;
  ASSERT_TRUE(os.WriteFile(handle, data.data(), 5000, &count));
  EXPECT_EQ(count, 5000U);
  EXPECT_EQ(printer.Received(), data);

  std::uint8_t reply[256] = {};
  ASSERT_TRUE(os.ReadFile(handle, reply, sizeof reply, &count));
  EXPECT_EQ(count, 3U);
  EXPECT_EQ(reply[2], 0x02);
  ClearFailureReason();
  ASSERT_TRUE(os.ReadFile(handle, reply, sizeof reply, &count));  // silent: nothing, no hang
  EXPECT_EQ(count, 0U);
  EXPECT_EQ(LastFailureReason().kind, FailureKind::kNotAnswering);
  EXPECT_EQ(LastFailureReason().device.rfind("/dev/usb/lp", 0), 0U);

  char id[64] = {};
  ASSERT_TRUE(os.DeviceIoControl(handle, kIoctlParQueryDeviceId, nullptr, 0, id, 60, &count));
  EXPECT_EQ(std::string(id, count), printer.deviceId);
  EXPECT_FALSE(os.DeviceIoControl(handle, kIoctlParQueryDeviceId, nullptr, 0, id, 10, &count));
  EXPECT_EQ(os.GetLastError(), kErrorInsufficientBuffer);
  // A room near 4 GiB (address space only; the ID needs its first page) takes it all the same.
  const std::uint32_t huge = 0xFFFFFFFFU;
  void* room = mmap(nullptr, huge, PROT_NONE, MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE, -1, 0);
  ASSERT_NE(room, MAP_FAILED);
  ASSERT_EQ(mprotect(room, 4096, PROT_READ | PROT_WRITE), 0);
  EXPECT_TRUE(os.DeviceIoControl(handle, kIoctlParQueryDeviceId, nullptr, 0, room, huge, &count));
  EXPECT_EQ(std::string(static_cast<char*>(room), count), printer.deviceId);
  munmap(room, huge);
  EXPECT_TRUE(os.CloseHandle(handle));
}

TEST_F(UsbPrinterLinux, BusyAndUnpluggedPrintersFailWithTheirReasons) {
  FakePrinter printer;
  const std::string node = bed.AddPrinter({}, &printer);
  const std::string path = Paths(kGuidUsbPrintingSupport).at(0);
  const Handle handle = Open(path);
  ASSERT_NE(handle, kInvalidHandle);

  ClearFailureReason();
  EXPECT_EQ(os.CreateFile(node.c_str(), kGenericWrite, 0, kOpenExisting, 0), kInvalidHandle);
  EXPECT_EQ(os.GetLastError(), kErrorSharingViolation);
  EXPECT_EQ(LastFailureReason().kind, FailureKind::kInUse);
  EXPECT_EQ(LastFailureReason().device, node);

  {
    const std::lock_guard lock(printer.mutex);
    printer.gone = true;
  }
  ClearFailureReason();
  std::uint32_t count = 0;
  EXPECT_FALSE(os.WriteFile(handle, "x", 1, &count));
  EXPECT_EQ(os.GetLastError(), kErrorDeviceNotConnected);
  EXPECT_EQ(LastFailureReason().kind, FailureKind::kDeviceGone);
  EXPECT_TRUE(os.CloseHandle(handle));

  bed.Remove("1-1");
  ClearFailureReason();
  EXPECT_EQ(Open(path), kInvalidHandle);
  EXPECT_EQ(LastFailureReason().kind, FailureKind::kDeviceGone);
  EXPECT_TRUE(Paths(kGuidUsbPrintingSupport).empty());
}

// Serials that differ only in characters a path cannot hold share one path: neither printer is
// taken for the other.
TEST_F(UsbPrinterLinux, APathTwoPrintersShareIsRefused) {
  FakePrinter first;
  FakePrinter second;
  PrinterLayout layout;
  layout.serial = "A#1";
  bed.AddPrinter(layout, &first);
  layout.port = "1-2";
  layout.serial = "A/1";
  layout.lpNumber = 1;
  bed.AddPrinter(layout, &second);
  const std::vector<std::string> paths = Paths(kGuidUsbPrintingSupport);
  ASSERT_EQ(paths.size(), 2U);
  EXPECT_EQ(paths[0], paths[1]);
  ClearFailureReason();
  EXPECT_EQ(Open(paths[1]), kInvalidHandle);
  EXPECT_EQ(LastFailureReason().kind, FailureKind::kAmbiguous);
  EXPECT_TRUE(first.Received().empty());
  EXPECT_TRUE(second.Received().empty());
}

// The port library finds the printer by the configured ids, writes to it and to no other, and
// tells which printers it saw when the ids match none.
TEST_F(UsbPrinterLinux, PortLibraryTalksToTheConfiguredPrinterOnly) {
  FakePrinter wanted;
  FakePrinter other;
  PrinterLayout otherLayout;
  otherLayout.port = "1-2";
  otherLayout.productId = 0x0020;
  otherLayout.serial = "OTHER";
  otherLayout.lpNumber = 1;
  bed.AddPrinter(otherLayout, &other);
  bed.AddPrinter({}, &wanted);

  VopP2Param& param = *VopP2GetParamPtr();
  param.wUsbVendorId = 0x04B8;
  param.wUsbProductId = 0x0005;
  const std::uint8_t frame[] = {0x1B, 0x40, 0x00, 0x02};
  std::uint32_t written = 0;
  ASSERT_EQ(VopP2Write(PORT_USB, frame, sizeof frame, &written), 1) << VopP2GetMessage();
  EXPECT_EQ(wanted.Received().size(), sizeof frame);
  EXPECT_TRUE(other.Received().empty());

  param.wUsbProductId = 0x0099;
  ClearFailureReason();
  EXPECT_EQ(VopP2Write(PORT_USB, frame, sizeof frame, &written), 0);
  EXPECT_STREQ(VopP2GetMessage(), "VopP2Open:CreateFile(PORT_USB) : GetDevicePath failure\n");
  const FailureReason reason = LastFailureReason();
  EXPECT_EQ(reason.kind, FailureKind::kNotFound);
  EXPECT_NE(reason.detail.find(R"(USB\VID_04B8&PID_0020\OTHER)"), std::string::npos);
  EXPECT_NE(reason.detail.find(R"(USB\VID_04B8&PID_0005\SN0001)"), std::string::npos);
}

// A port the caller holds goes back only to the printer it began with after a failed
// transfer, never to another with the same ids; once the caller closes it, the search is free.
// While the caller holds the port only the printer it began with is reopened; a printer found
// by its ids alone must be the only one with them.
TEST_F(UsbPrinterLinux, AHeldPortReopensOnlyThePrinterItBeganWith) {
  FakePrinter first;
  FakePrinter second;
  FakePrinter third;
  PrinterLayout layout;
  bed.AddPrinter(layout, &first);
  VopP2Param& param = *VopP2GetParamPtr();
  param.wUsbVendorId = 0x04B8;
  param.wUsbProductId = 0x0005;
  const std::uint8_t frame[] = {0x1B, 0x41};
  std::uint32_t written = 0;
  ASSERT_EQ(VopP2Open(PORT_USB), 1);
  layout.port = "1-2";
  layout.serial = "SN0002";
  layout.lpNumber = 1;
  bed.AddPrinter(layout, &second);
  ASSERT_EQ(VopP2Write(PORT_USB, frame, sizeof frame, &written), 1);
  EXPECT_EQ(first.Received().size(), sizeof frame);
  {
    const std::lock_guard lock(first.mutex);
    first.gone = true;
  }
  EXPECT_EQ(VopP2Write(PORT_USB, frame, sizeof frame, &written), 0);
  bed.Remove("1-1");
  EXPECT_EQ(VopP2Write(PORT_USB, frame, sizeof frame, &written), 0);
  EXPECT_TRUE(second.Received().empty());
  VopP2Close(PORT_USB);
  EXPECT_EQ(VopP2Write(PORT_USB, frame, sizeof frame, &written), 1);
  EXPECT_EQ(second.Received().size(), sizeof frame);

  // Another printer with the same ids, one that has no printer node: neither is taken.
  layout.port = "1-3";
  layout.serial = "SN0003";
  layout.lpNumber = -1;
  bed.AddPrinter(layout, &third);
  ClearFailureReason();
  EXPECT_EQ(VopP2Write(PORT_USB, frame, sizeof frame, &written), 0);
  EXPECT_EQ(second.Received().size(), sizeof frame);
  EXPECT_TRUE(third.Received().empty());
  const FailureReason reason = LastFailureReason();
  EXPECT_EQ(reason.kind, FailureKind::kAmbiguous);
  EXPECT_NE(reason.detail.find("SN0002"), std::string::npos) << reason.detail;
  EXPECT_NE(reason.detail.find("SN0003"), std::string::npos) << reason.detail;
}

}  // namespace

namespace {

class UsbCommandLine : public cli_test::CliTest {
 protected:
  usb_test::UsbTestbed bed;
};

// zarnik-cli on its default port, USB, asks the printer with the settings' ids for its
// versions and leaves the other printer alone.
TEST_F(UsbCommandLine, VersionTalksToThePrinterWithTheConfiguredIds) {
  sim::VirtualPrinter virtualPrinter;
  FakePrinter wanted;
  wanted.virtualPrinter = &virtualPrinter;
  FakePrinter other;
  PrinterLayout otherLayout;
  otherLayout.port = "1-2";
  otherLayout.productId = 0x0020;
  otherLayout.lpNumber = 1;
  bed.AddPrinter(otherLayout, &other);
  bed.AddPrinter({}, &wanted);
  Write("s.ini", "[System]\nVid=04B8\nPid=0005\n");

  const cli_test::CliRun run = Cli("--settings s.ini version");
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.out, "Get Version:\nController FW: EF12\nEngine FW: 0102.0304.0506\n");
  EXPECT_FALSE(wanted.Received().empty());
  EXPECT_TRUE(other.Received().empty());
}

}  // namespace

namespace {

// zarnik-cli list shows each USB printer with its ids, node or the lack of one, whether it
// may be opened and its parsed device ID; as JSON too.
TEST_F(UsbCommandLine, ListShowsThePrintersWithTheirDeviceIds) {
  FakePrinter printer;
  bed.AddPrinter({}, &printer);
  PrinterLayout unbound;
  unbound.port = "2-1";
  unbound.productId = 0x0009;
  unbound.serial.clear();
  unbound.lpNumber = -1;
  bed.AddPrinter(unbound, nullptr);
  bed.AddOtherDevice("1-3", 0x1D6B, 0x0002);

  const cli_test::CliRun text = Cli("list");
  EXPECT_EQ(text.status, 0) << text.err;
  EXPECT_NE(text.out.find("  04b8:0005  Zarnik QX4410  serial SN0001\n"
                          "    node /dev/usb/lp0 (this user may open it)\n"
                          "    device ID: MFG Zarnik; MDL QX4410; CMD PJL; CLS PRINTER; SN SN0001\n"
                          "    settings: Vid=04b8 Pid=0005\n"),
            std::string::npos)
      << text.out;
  EXPECT_NE(text.out.find("  04b8:0009  Zarnik QX4410  serial (none)\n"
                          "    no kernel driver: reached through libusb on /dev/bus/usb/002/"),
            std::string::npos)
      << text.out;
  EXPECT_EQ(text.out.find("1d6b"), std::string::npos);  // no printer

  const cli_test::CliRun json = Cli("list --json");
  EXPECT_EQ(json.status, 0);
  EXPECT_NE(json.out.find(R"("node": "/dev/usb/lp0", "kernel_driver": true)"), std::string::npos)
      << json.out;
  EXPECT_NE(json.out.find(R"("MFG": "Zarnik", "MDL": "QX4410", "CMD": "PJL", "CLS": "PRINTER", )"
                          R"("SN": "SN0001"})"),
            std::string::npos);
  EXPECT_NE(json.out.find(R"("node": null, "kernel_driver": false)"), std::string::npos);
}

// Two printers of one model: the ids alone open neither, so each one's settings line names the
// path that does, and that path opens it.
TEST_F(UsbCommandLine, ListGivesEachOfTwoPrintersWithTheSameIdsItsPath) {
  sim::VirtualPrinter virtualPrinter;
  FakePrinter first;
  first.virtualPrinter = &virtualPrinter;
  bed.AddPrinter({}, &first);
  PrinterLayout second;
  second.port = "1-2";
  second.serial = "SN0002";
  second.lpNumber = 1;
  bed.AddPrinter(second, nullptr);

  const cli_test::CliRun text = Cli("list");
  const std::string path =
      R"(\\?\usb#vid_04b8&pid_0005#SN0001#{28d78fad-5a12-11d1-ae5b-0000f803a8c2})";
  EXPECT_NE(text.out.find("    settings: Vid=04b8 Pid=0005 GUID=" + path + "\n"), std::string::npos)
      << text.out;
  EXPECT_NE(text.out.find("Pid=0005 GUID=\\\\?\\usb#vid_04b8&pid_0005#SN0002#"), std::string::npos);
  Write("s.ini", "[System]\nVid=04B8\nPid=0005\nGUID=" + path + "\n");
  EXPECT_EQ(Cli("--settings s.ini version").status, 0);
  EXPECT_FALSE(first.Received().empty());
}

// A device's strings are outside input: on the terminal no control character of theirs
// reaches it (no forged line, no escape sequence), and the JSON is valid UTF-8 whatever bytes
// came (an overlong form, a surrogate, past U+10FFFF become U+FFFD).
TEST_F(UsbCommandLine, ListShowsOddDeviceStringsHarmlessly) {
  PrinterLayout odd;
  odd.manufacturer = "Za\xE0\x80\xAFrnik";
  odd.product = "QX\x1B[31m\nfake line\xC2\x9B";
  odd.serial = "S\"N\\\x01";
  odd.ieee1284Id = "MFG:\xED\xA0\x80;MDL:\xF4\x90\x80\x80\xC3\xA9;";
  bed.AddPrinter(odd, nullptr);

  const cli_test::CliRun text = Cli("list");
  EXPECT_NE(text.out.find("  04b8:0005  Za\uFFFD\uFFFD\uFFFDrnik QX?[31m?fake line?  serial "
                          "S\"N\\?\n"),
            std::string::npos)
      << text.out;
  EXPECT_NE(text.out.find("device ID: MFG \uFFFD\uFFFD\uFFFD; MDL \uFFFD\uFFFD\uFFFD\uFFFD\u00E9;"),
            std::string::npos)
      << text.out;

  const cli_test::CliRun json = Cli("list --json");
  EXPECT_NE(
      json.out.find("\"manufacturer\": \"Za\uFFFD\uFFFD\uFFFDrnik\", \"product\": "
                    "\"QX\\u001b[31m\\u000afake line\xC2\x9B\", \"serial\": \"S\\\"N\\\\\\u0001\""),
      std::string::npos)
      << json.out;
  EXPECT_NE(json.out.find("\"MFG\": \"\uFFFD\uFFFD\uFFFD\", "
                          "\"MDL\": \"\uFFFD\uFFFD\uFFFD\uFFFD\u00E9\""),
            std::string::npos)
      << json.out;
}

}  // namespace
