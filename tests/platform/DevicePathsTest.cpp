#include "linux/DevicePaths.h"

#include <gtest/gtest.h>
#include <stdlib.h>

namespace platform::linux_backend {
namespace {

using Kind = ResolvedPath::Kind;

TEST(DevicePaths, ComPortsAreTheSerialTtysCountedFromZero) {
  ::unsetenv("ZARNIK_COM1");
  ::unsetenv("ZARNIK_COM12");
  const ResolvedPath com1 = ResolvePath(R"(\\.\COM1)");
  EXPECT_EQ(com1.kind, Kind::kSerialLine);
  EXPECT_EQ(com1.path, "/dev/ttyS0");
  EXPECT_EQ(ResolvePath(R"(\\.\com12)").path, "/dev/ttyS11");
}

TEST(DevicePaths, EnvironmentNamesAnotherTty) {
  ::setenv("ZARNIK_COM3", "/dev/ttyUSB0", 1);
  EXPECT_EQ(ResolvePath(R"(\\.\COM3)").path, "/dev/ttyUSB0");
  ::setenv("ZARNIK_COM3", "", 1);
  EXPECT_EQ(ResolvePath(R"(\\.\COM3)").path, "/dev/ttyS2");
  ::unsetenv("ZARNIK_COM3");
}

TEST(DevicePaths, OtherDeviceNamesAreUnknownAndFilesStayAsGiven) {
  EXPECT_EQ(ResolvePath(R"(\\.\COM0)").kind, Kind::kUnknownDevice);
  EXPECT_EQ(ResolvePath(R"(\\.\COM)").kind, Kind::kUnknownDevice);
  EXPECT_EQ(ResolvePath(R"(\\.\COMX)").kind, Kind::kUnknownDevice);
  EXPECT_EQ(ResolvePath(R"(\\.\NOSUCH)").kind, Kind::kUnknownDevice);
  const ResolvedPath file = ResolvePath("/tmp/out.prn");
  EXPECT_EQ(file.kind, Kind::kFile);
  EXPECT_EQ(file.path, "/tmp/out.prn");
}

}  // namespace
}  // namespace platform::linux_backend
