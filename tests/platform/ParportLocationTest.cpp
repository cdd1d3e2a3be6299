// Which parallel port has the registers at an I/O address, from a kernel record laid out in
// a folder, and the words for a refused raw port access.
#include "linux/ParportLocation.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "TempFolder.h"

namespace {

using platform::FailureKind;
using platform::FailureReason;
using platform::linux_backend::ActiveParportDevice;
using platform::linux_backend::LocateParport;
using platform::linux_backend::RawAccessRefusal;

class ParportLocation : public ::testing::Test {
 protected:
  void Port(const std::string& name, const std::string& bases, const std::string& active) {
    std::filesystem::create_directories(folder.path() / name / "devices");
    std::ofstream(folder.path() / name / "base-addr") << bases << "\n";
    std::ofstream(folder.path() / name / "devices" / "active") << active << "\n";
  }
  testsupport::TempFolder folder;
  FailureReason reason;
};

TEST_F(ParportLocation, FindsThePortByItsBaseAndItsEcpRegisters) {
  Port("parport0", "956\t1980", "none");
  Port("parport1", "888\t0", "lp");
  const auto first = LocateParport(0x3BC, folder.path(), "/dev", reason);
  ASSERT_TRUE(first);
  EXPECT_EQ(first->device, "/dev/parport0");
  EXPECT_EQ(first->ecrBase, 0x7BC);
  EXPECT_EQ(ActiveParportDevice(first->procDir), "");
  const auto second = LocateParport(0x378, folder.path(), "/dev", reason);
  ASSERT_TRUE(second);
  EXPECT_EQ(second->ecrBase, 0x778);  // none listed: base + 0x400
  EXPECT_EQ(ActiveParportDevice(second->procDir), "lp");

  EXPECT_FALSE(LocateParport(0x278, folder.path(), "/dev", reason));
  EXPECT_EQ(reason.kind, FailureKind::kNotFound);
  EXPECT_NE(reason.detail.find("parport0 at 0x3bc, parport1 at 0x378"), std::string::npos);

  ::setenv("ZARNIK_PARPORT", "/dev/parport1", 1);  // named: whatever the base
  const auto named = LocateParport(0x278, folder.path(), "/dev", reason);
  ::unsetenv("ZARNIK_PARPORT");
  ASSERT_TRUE(named);
  EXPECT_EQ(named->device, "/dev/parport1");

  EXPECT_FALSE(LocateParport(0x378, folder.File("none"), "/dev", reason));
  EXPECT_EQ(reason.kind, FailureKind::kAccessMethod);
  EXPECT_NE(reason.detail.find("modprobe parport_pc"), std::string::npos);
}

TEST(RawAccessRefusal, NamesLockdownOrTheMissingCapability) {
  EXPECT_NE(RawAccessRefusal(EPERM, "none [integrity] confidentiality\n").find("locked down"),
            std::string::npos);
  EXPECT_NE(RawAccessRefusal(EPERM, "[none] integrity confidentiality\n").find("CAP_SYS_RAWIO"),
            std::string::npos);
  EXPECT_NE(RawAccessRefusal(EPERM, "").find("CAP_SYS_RAWIO"), std::string::npos);
  EXPECT_NE(RawAccessRefusal(ENOSYS, "").find("no raw port access"), std::string::npos);
}

}  // namespace
