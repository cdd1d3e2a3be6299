// The slow link in front of the virtual printer: the bytes arrive unchanged and in order, in
// slices counted as they go, at the link's average speed however the writes are cut.
#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <vector>

#include "platform/WriteProgress.h"
#include "sim/PacedLink.h"

namespace {

using std::chrono::steady_clock;

class Collector final : public sim::Device {
 public:
  sim::IoResult Write(std::span<const std::uint8_t> data) override {
    writes.push_back(data.size());
    bytes.insert(bytes.end(), data.begin(), data.end());
    return sim::IoResult::Done(static_cast<std::uint32_t>(data.size()));
  }
  sim::IoResult Read(std::span<std::uint8_t> /*buffer*/) override { return sim::IoResult::Done(); }
  std::vector<std::size_t> writes;
  std::vector<std::uint8_t> bytes;
};

class PacedLinkTest : public ::testing::Test {
 protected:
  sim::PacedLink Link(std::uint32_t bytesPerSecond) {
    return sim::PacedLink(
        device, bytesPerSecond, [this] { return now; },
        [this](steady_clock::duration d) {
          now += d;
          slept += d;
          ++sleeps;
        });
  }
  std::shared_ptr<Collector> device = std::make_shared<Collector>();
  steady_clock::time_point now{};
  steady_clock::duration slept{};
  int sleeps = 0;
};

TEST_F(PacedLinkTest, OneWriteArrivesWholeInSlicesAtTheLinkSpeed) {
  sim::PacedLink link = Link(2000);  // slices of 100 bytes
  std::vector<std::uint8_t> data(1050);
  for (std::size_t i = 0; i < data.size(); ++i) {
    data[i] = static_cast<std::uint8_t>(i * 7);
  }
  const std::uint64_t before = platform::BytesTakenSinceStart();
  platform::BeginWriteCount();
  const sim::IoResult result = link.Write(data);
  EXPECT_TRUE(result.ok);
  EXPECT_EQ(result.count, 1050U);
  EXPECT_EQ(device->bytes, data);
  EXPECT_EQ(device->writes.size(), 11U);
  EXPECT_EQ(platform::BytesTakenSinceStart() - before, 1050U);
  EXPECT_EQ(std::chrono::duration_cast<std::chrono::milliseconds>(slept).count(), 525);
}

TEST_F(PacedLinkTest, ByteByByteKeepsTheSpeedWithoutSleepingForEveryByte) {
  sim::PacedLink link = Link(4000);  // a quarter of a millisecond per byte
  for (int i = 0; i < 1000; ++i) {
    const std::uint8_t byte = static_cast<std::uint8_t>(i);
    ASSERT_TRUE(link.Write(std::span(&byte, 1)).ok);
  }
  EXPECT_EQ(device->bytes.size(), 1000U);
  EXPECT_EQ(std::chrono::duration_cast<std::chrono::milliseconds>(slept).count(), 250);
  EXPECT_LE(sleeps, 250);
}

}  // namespace
