#include "protocol/CommandFrameBuilder.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <vector>

#include "protocol/CommandNumber.h"
#include "protocol/FrameSum.h"

namespace protocol {
namespace {

using Bytes = std::vector<std::uint8_t>;

template <std::size_t N>
Bytes AsBytes(const std::array<std::uint8_t, N>& frame) {
  return {frame.begin(), frame.end()};
}

TEST(CommandFrameBuilderTest, WritesTheFramesOfEachCommand) {
  const CommandFrameBuilder builder;
  std::array<std::uint8_t, CommandFrameBuilder::kStartJobSize> startJob{};
  EXPECT_EQ(builder.StartJob(startJob.data(), 0, 0xFF, CommandFrameBuilder::kJobOption), 1);
  EXPECT_EQ(AsBytes(startJob), (Bytes{0x1B, 0x40, 0x00, 0x02, 0x00, 0xBF, 0xFF, 0x10, 0x2B}));

  std::array<std::uint8_t, CommandFrameBuilder::kEndJobSize> endJob{};
  EXPECT_EQ(builder.EndJob(endJob.data(), 5), 1);
  EXPECT_EQ(AsBytes(endJob), (Bytes{0x1B, 0x41, 0x05, 0x01, 0x00, 0xBE, 0x00, 0x20}));

  std::array<std::uint8_t, CommandFrameBuilder::kRequestStatusSize> status{};
  EXPECT_EQ(builder.RequestStatus(status.data(), 2, 0x81), 1);
  EXPECT_EQ(AsBytes(status), (Bytes{0x1B, 0x60, 0x02, 0x02, 0x00, 0x9F, 0x81, 0x00, 0x9F}));
}

TEST(CommandFrameBuilderTest, WritesFlashFramesWithTheirTrailingZeros) {
  const CommandFrameBuilder builder;
  std::array<std::uint8_t, CommandFrameBuilder::kDownloadFirmwareSize> download{};
  download.fill(0xEE);
  EXPECT_EQ(builder.DownloadFirmware(download.data(), 1, 0x40, 0x82, 0x1336, 100), 1);
  EXPECT_EQ(AsBytes(download), (Bytes{0x1B, 0x70, 0x01, 0x0C, 0x00, 0x8F, 0x40, 0x82, 0x36, 0x13,
                                      0x00, 0x00, 0x64, 0x00, 0x00, 0x00, 0x00, 0x00, 0x96}));

  std::array<std::uint8_t, CommandFrameBuilder::kExecuteFlashWriteSize> execute{};
  execute.fill(0xEE);
  EXPECT_EQ(builder.ExecuteFlashWrite(execute.data(), 2, 0x00020400, 0x1335), 1);
  EXPECT_EQ(AsBytes(execute), (Bytes{0x1B, 0x73, 0x02, 0x0A, 0x00, 0x8C, 0x00, 0x04, 0x02, 0x00,
                                     0x35, 0x13, 0x00, 0x00, 0x00, 0x00, 0x74}));
}

TEST(CommandNumberTest, RaisesModulo256) {
  std::uint8_t number = 0xFE;
  EXPECT_EQ(RaiseCommandNumber(number), 0xFF);
  EXPECT_EQ(RaiseCommandNumber(number), 0x00);
  EXPECT_EQ(number, 0x00);
  EXPECT_EQ(NextCommandNumber(0x7F), 0x80);
}

TEST(FrameSumTest, WrapsAndContinuesAcrossPieces) {
  std::vector<std::uint8_t> bytes(70000, 0xFF);
  bytes[0] = 0x12;
  std::uint8_t whole = FrameSum(bytes.data(), bytes.size());
  std::uint8_t pieces = FrameSum(bytes.data(), 1000);
  pieces = FrameSum(bytes.data() + 1000, bytes.size() - 1000, pieces);
  EXPECT_EQ(whole, pieces);
  // 0x12 + 69999 * 0xFF = 0x12 - 69999 (mod 256) = 0x12 - 0x6F = 0xA3.
  EXPECT_EQ(whole, 0xA3);
  EXPECT_EQ(FrameSum(bytes.data(), 0), 0);

  // Every length and starting point agrees with a plain byte-by-byte sum.
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    bytes[i] = static_cast<std::uint8_t>(i * 37 + i / 7);
  }
  for (std::size_t length = 0; length < 200; ++length) {
    for (std::size_t start = 0; start < 3; ++start) {
      unsigned plain = 0x5A;
      for (std::size_t i = start; i < start + length; ++i) {
        plain += bytes[i];
      }
      EXPECT_EQ(FrameSum(bytes.data() + start, length, 0x5A), static_cast<std::uint8_t>(plain));
    }
  }
}

}  // namespace
}  // namespace protocol
