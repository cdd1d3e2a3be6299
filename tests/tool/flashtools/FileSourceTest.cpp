#include <gtest/gtest.h>

#include <filesystem>
#include <memory>

#include "FileStreams.h"
#include "TestSupport.h"

namespace flashtools::test {
namespace {

// An input cut short after it was opened (truncated, or being written anew) must fail the
// read, whichever way its bytes are taken: ended quietly, it would have a tool make a data file
// or a stream from part of it and call that complete.
TEST(FileSourceTest, AnInputCutShortAfterOpeningFailsTheRead) {
  constexpr std::size_t kSize = std::size_t{3} << 20;
  constexpr std::size_t kCut = kSize / 2;
  TempDir dir;
  const auto input = dir / "in";
  const auto openCut = [&] {
    WriteFile(input, Bytes(kSize, 0x5A));
    auto source = std::make_unique<FileSource>(input);
    std::filesystem::resize_file(input, kCut);
    return source;
  };

  {  // In order, through the read buffer.
    const auto source = openCut();
    Bytes into(kSize);
    EXPECT_EQ(ReadFully(*source, into), kCut);
    EXPECT_TRUE(source->Failed());
  }
  {  // Summed in parts side by side.
    const auto source = openCut();
    std::uint8_t sum = 0;
    EXPECT_EQ(source->SumNext(kSize, sum), kCut);
    EXPECT_TRUE(source->Failed());
  }
  {  // Copied by the system (offsets alike within a page), then through the write buffer.
    for (const std::size_t before : {std::size_t{0}, std::size_t{1}}) {
      const auto source = openCut();
      PendingOutputFile output(dir / "out");
      ASSERT_TRUE(output.Write(Bytes(before, 0)));
      EXPECT_EQ(output.CopyFrom(*source, kSize).bytes, kCut) << before;
      EXPECT_TRUE(source->Failed()) << before;
    }
  }

  // A file that is simply shorter than asked for ends without a failure.
  FileSource whole(input);
  std::uint8_t sum = 0;
  EXPECT_EQ(whole.SumNext(kSize, sum), kCut);
  EXPECT_FALSE(whole.Failed());
}

}  // namespace
}  // namespace flashtools::test
