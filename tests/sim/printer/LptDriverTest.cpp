// The printer behind the parallel-port driver device.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "PrinterTestSupport.h"
#include "sim/printer/PrinterOnLptDriver.h"

namespace sim::test {
namespace {

TEST(PrinterOnLptDriver, PassesWritesAndReadsToThePrinter) {
  auto printer = std::make_shared<VirtualPrinter>();
  PrinterOnLptDriver device(printer);
  const Bytes frame = StartJob(0);
  const IoResult written = device.Write(frame);
  EXPECT_TRUE(written.ok);
  EXPECT_EQ(written.count, frame.size());
  Bytes buffer(256, 0xEE);
  const IoResult read = device.Read(buffer);
  EXPECT_TRUE(read.ok);
  EXPECT_EQ(buffer[2], 0);
  EXPECT_EQ(device.Read(buffer).count, 0U);
  EXPECT_TRUE(printer->JobOpen());
}

TEST(PrinterOnLptDriver, AnswersTheDeviceIdentificationRequestOnly) {
  auto printer = std::make_shared<VirtualPrinter>(PrinterConfig{.deviceId = "MFG:Test;MDL:X;"});
  PrinterOnLptDriver device(printer);
  Bytes out(1022, 0);
  const IoResult id = device.IoControl(platform::kIoctlParQueryDeviceId, {}, out);
  ASSERT_TRUE(id.ok);
  EXPECT_EQ(std::string(out.begin(), out.begin() + id.count), "MFG:Test;MDL:X;");

  Bytes tiny(4, 0);
  EXPECT_FALSE(device.IoControl(platform::kIoctlParQueryDeviceId, {}, tiny).ok);
  EXPECT_FALSE(device.IoControl(0x12345678, {}, out).ok);
  EXPECT_TRUE(printer->Received().empty());
}

}  // namespace
}  // namespace sim::test
