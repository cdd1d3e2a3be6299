// A guarded file goes when the program is ended by a signal, and the program still ends by
// that signal; a released file stays.
#include "cleanup/RemoveOnSignal.h"

#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include <gtest/gtest.h>

namespace {

std::filesystem::path Touch(const std::string& name) {
  auto path = std::filesystem::temp_directory_path() /
              (name + "-" + std::to_string(::getpid()) + ".partial");
  std::ofstream(path) << "partial";
  return path;
}

TEST(RemoveOnSignalTest, SignalRemovesGuardedFilesOnly) {
  const auto guarded = Touch("guarded");
  const auto released = Touch("released");
  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    cleanup::InstallSignalCleanup();
    cleanup::RemoveOnSignal keep(released);
    keep.Release();
    cleanup::RemoveOnSignal guard(guarded);
    std::raise(SIGTERM);
    std::_Exit(0);
  }
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGTERM);
  EXPECT_FALSE(std::filesystem::exists(guarded));
  EXPECT_TRUE(std::filesystem::exists(released));
  std::filesystem::remove(released);
}

}  // namespace
