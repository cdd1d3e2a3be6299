#include "posix/WriteBehind.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include "TestSupport.h"

namespace flashtools::test {
namespace {

// Writes land where they were asked, and a failed one is still reported after later ones went
// well: a run that lost a buffer must not end as a success.
TEST(WriteBehindTest, WritesInPlaceAndRemembersAFailure) {
  TempDir dir;
  WriteFile(dir / "file", Bytes(8, 0));
  const int file = ::open((dir / "file").c_str(), O_RDWR);
  const int readOnly = ::open((dir / "file").c_str(), O_RDONLY);
  const Bytes bytes{1, 2, 3};
  {
    WriteBehind writer;
    ASSERT_TRUE(writer.Start(file, bytes, 4));
    EXPECT_TRUE(writer.Wait());
    ASSERT_TRUE(writer.Start(readOnly, bytes, 0));
    EXPECT_FALSE(writer.Wait());
    ASSERT_TRUE(writer.Start(file, bytes, 0));
    EXPECT_FALSE(writer.Wait());
  }
  ::close(file);
  ::close(readOnly);
  EXPECT_EQ(ReadFile(dir / "file"), (Bytes{1, 2, 3, 0, 1, 2, 3, 0}));
}

}  // namespace
}  // namespace flashtools::test
