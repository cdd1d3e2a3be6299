#include "channel/VersionReport.h"

#include <gtest/gtest.h>

namespace {

TEST(VersionReportTest, NamesBothVersionsAndAPortLibraryOfTheWrongVersion) {
  const std::string expected = std::string("zarnik ") + ZARNIK_VERSION + "\nport library VopP2 ";
  EXPECT_EQ(channel::DescribeVersions("zarnik", 6), expected + "1.0.0.6");
  EXPECT_EQ(channel::DescribeVersions("zarnik", 7),
            expected + "1.0.0.7 (this program needs 1.0.0.6)");
}

}  // namespace
