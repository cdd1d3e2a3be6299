// Register access of the Linux backend through ppdev, against an emulated /dev/parport0: the
// test runs under umockdev's preload library and answers the ppdev ioctls as a port would.
// Raw port access (ECR, FIFO) is never reached here: the emulated port reports no ECP
// registers, so the backend refuses before it would touch an I/O port of this machine.
#include <linux/parport.h>
#include <linux/ppdev.h>
#include <sys/ioctl.h>
#include <umockdev.h>

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdlib>
#include <mutex>
#include <string>
#include <vector>

#include "VopP2.h"
#include "platform/FailureReason.h"
#include "platform/Services.h"

namespace {

// A parallel port as ppdev shows it: register values, the claim, and the byte on the data
// lines at every strobe.
struct EmulatedPort {
  std::mutex mutex;
  bool claimed = false;
  std::uint8_t data = 0;
  std::uint8_t status = 0xDF;  // not busy, nAck high, no paper error, selected, no fault
  std::uint8_t control = 0x0C;
  int direction = 0;
  unsigned modes = PARPORT_MODE_PCSPP | PARPORT_MODE_TRISTATE;
  std::string strobed;
};

EmulatedPort port;

// The pointed-to argument of an ioctl, size bytes; written back when the call completes.
UMockdevIoctlData* Argument(UMockdevIoctlClient* client, gsize size) {
  return umockdev_ioctl_data_resolve(umockdev_ioctl_client_get_arg(client), 0, size, nullptr);
}

long Answer(unsigned long request, UMockdevIoctlData* arg) {
  std::uint8_t* byte = arg != nullptr ? arg->data : nullptr;
  if (request == PPCLAIM) {
    port.claimed = true;
    return 0;
  }
  if (!port.claimed) {
    return -EINVAL;  // ppdev wants the port claimed first
  }
  switch (request) {
    case PPRELEASE:
      port.claimed = false;
      return 0;
    case PPRDATA:
      *byte = port.data;
      return 0;
    case PPWDATA:
      port.data = *byte;
      return 0;
    case PPRSTATUS:
      *byte = port.status;
      return 0;
    case PPRCONTROL:
      *byte = port.control;
      return 0;
    case PPWCONTROL:
      if ((port.control & 0x01) == 0 && (*byte & 0x01) != 0) {  // nStrobe goes low
        port.strobed += static_cast<char>(port.data);
      }
      port.control = *byte;
      return 0;
    case PPDATADIR:
      port.direction = *reinterpret_cast<int*>(byte);
      return 0;
    case PPGETMODES:
      *reinterpret_cast<unsigned*>(byte) = port.modes;
      return 0;
    default:
      return -ENOTTY;
  }
}

gboolean HandleIoctl(UMockdevIoctlBase* /*handler*/, UMockdevIoctlClient* client,
                     gpointer /*unused*/) {
  const unsigned long request = umockdev_ioctl_client_get_request(client);
  const gsize size = _IOC_SIZE(request);
  UMockdevIoctlData* arg = size > 0 ? Argument(client, size) : nullptr;
  long result = 0;
  {
    std::lock_guard lock(port.mutex);
    result = Answer(request, arg);
  }
  umockdev_ioctl_client_complete(client, result < 0 ? -1 : 0,
                                 result < 0 ? static_cast<int>(-result) : 0);
  if (arg != nullptr) {
    g_object_unref(arg);
  }
  return TRUE;
}

class Ppdev : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    const char* preload = std::getenv("LD_PRELOAD");
    ASSERT_TRUE(preload != nullptr && std::string(preload).find("umockdev") != std::string::npos)
        << "run under umockdev-wrapper (LD_PRELOAD=libumockdev-preload.so.0)";
    testbed = umockdev_testbed_new();
    ASSERT_TRUE(umockdev_testbed_add_from_string(
        testbed, "P: /devices/parport0\nN: parport0\nE: SUBSYSTEM=ppdev\nA: dev=99:0\n", nullptr));
    handler = umockdev_ioctl_base_new();
    g_signal_connect(handler, "handle-ioctl", G_CALLBACK(HandleIoctl), nullptr);
    ASSERT_TRUE(umockdev_testbed_attach_ioctl(testbed, "/dev/parport0", handler, nullptr));
  }
  static void TearDownTestSuite() {
    g_clear_object(&handler);
    g_clear_object(&testbed);
  }
  void SetUp() override {
    ::setenv("ZARNIK_PARPORT", "/dev/parport0", 1);
    std::lock_guard lock(port.mutex);
    port.strobed.clear();
    port.modes = PARPORT_MODE_PCSPP | PARPORT_MODE_TRISTATE;
  }
  void TearDown() override {
    ::unsetenv("ZARNIK_PARPORT");
    ::unsetenv("ZARNIK_LPT_ACCESS");
  }
  static bool Claimed() {
    std::lock_guard lock(port.mutex);
    return port.claimed;
  }

  static inline UMockdevTestbed* testbed = nullptr;
  static inline UMockdevIoctlBase* handler = nullptr;
  platform::Services& os = platform::RealMachine();
};

TEST_F(Ppdev, RegistersGoThroughPpdevOnlyWhileClaimed) {
  std::uint8_t value = 0;
  EXPECT_FALSE(os.PortIn(0x379, &value));
  ASSERT_TRUE(os.ClaimPort(0x378));
  EXPECT_TRUE(Claimed());
  EXPECT_TRUE(os.PortOut(0x378, 0x5A));
  EXPECT_TRUE(os.PortIn(0x378, &value));
  EXPECT_EQ(value, 0x5A);
  EXPECT_TRUE(os.PortIn(0x379, &value));
  EXPECT_EQ(value, 0xDF);
  // The direction bit goes through its own call and reads back with the lines.
  EXPECT_TRUE(os.PortOut(0x37A, 0x2B));
  EXPECT_TRUE(os.PortIn(0x37A, &value));
  EXPECT_EQ(value, 0x2B);
  EXPECT_EQ(port.direction, 1);
  EXPECT_EQ(port.control, 0x0B);
  EXPECT_TRUE(os.PortOut(0x37A, 0x0C));
  EXPECT_EQ(port.direction, 0);
  EXPECT_FALSE(os.PortIn(0x37B, &value));  // no register there
  os.ReleasePort(0x378);
  EXPECT_FALSE(Claimed());
  EXPECT_FALSE(os.PortOut(0x378, 0x00));
}

TEST_F(Ppdev, TheLibraryStrobesEveryByteOfAStandardWrite) {
  ::setenv("ZARNIK_LPT_ACCESS", "direct", 1);
  VopP2GetParamPtr()->dwLptMode = 1;
  std::uint32_t written = 0;
  const std::string text = "HELLO";
  ASSERT_EQ(VopP2Write(PORT_LPT, reinterpret_cast<const std::uint8_t*>(text.data()), 5, &written),
            1)
      << VopP2GetMessage();
  EXPECT_EQ(written, 5U);
  EXPECT_EQ(port.strobed, text);
  EXPECT_FALSE(Claimed());
}

TEST_F(Ppdev, ThePortsEcpRegistersAreNotTouchedWhenTheKernelFoundNone) {
  ::setenv("ZARNIK_LPT_ACCESS", "direct", 1);
  VopP2GetParamPtr()->dwLptMode = 2;
  platform::ClearFailureReason();
  std::uint32_t written = 0;
  const std::uint8_t byte = 0x41;
  EXPECT_EQ(VopP2Write(PORT_LPT, &byte, 1, &written), 0);
  EXPECT_STREQ(VopP2GetMessage(),
               "VopP2WriteLptParallelPortFIFO : failure (port access at 077Ah, ErrorCode = "
               "00000032)\n");
  const platform::FailureReason reason = platform::LastFailureReason();
  EXPECT_EQ(reason.kind, platform::FailureKind::kAccessMethod);
  EXPECT_NE(reason.detail.find("Mode 0 (Standard)"), std::string::npos) << reason.detail;
  EXPECT_FALSE(Claimed());
}

TEST_F(Ppdev, AMissingDeviceSaysWhichDriverToLoad) {
  ::setenv("ZARNIK_PARPORT", "/dev/parport7", 1);
  platform::ClearFailureReason();
  EXPECT_FALSE(os.ClaimPort(0x378));
  const platform::FailureReason reason = platform::LastFailureReason();
  EXPECT_EQ(reason.kind, platform::FailureKind::kAccessMethod);
  EXPECT_NE(reason.detail.find("modprobe ppdev"), std::string::npos) << reason.detail;
}

}  // namespace
