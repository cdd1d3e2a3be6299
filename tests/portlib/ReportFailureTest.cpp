// The failure path itself, on the library's own objects.
#include "Diagnostics.h"

#include <gtest/gtest.h>

#include <string>

#include "LibraryState.h"
#include "sim/Machine.h"

namespace {

TEST(ReportFailure, KeepsAtMost511CharactersButWritesTheWholeText) {
  sim::Machine machine;
  sim::ScopedInstall installed(machine);
  const std::string longName(600, 'q');
  vopp2::ReportFailure("CheckLPT1: %s\n", longName.c_str());
  const std::string kept = vopp2::Library().szMessage;
  EXPECT_EQ(kept.size(), 511U);
  EXPECT_EQ(kept, ("CheckLPT1: " + longName).substr(0, 511));
  ASSERT_EQ(machine.DebugLines().size(), 1U);
  EXPECT_EQ(machine.DebugLines()[0].size(), 11U + 600U + 1U);

  vopp2::ReportFailure("short\n");
  EXPECT_STREQ(vopp2::Library().szMessage, "short\n");
}

}  // namespace
