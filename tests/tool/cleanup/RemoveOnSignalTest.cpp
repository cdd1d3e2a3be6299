// A guarded file goes when the program is ended by a signal, and the program still ends by
// that signal; a released file stays. A hold lets the work under way finish first.
#include "cleanup/RemoveOnSignal.h"

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>

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

// Runs body in a child that has the cleanup installed; its wait status.
template <typename Body>
int StatusOfChild(Body body) {
  const pid_t child = ::fork();
  if (child == 0) {
    cleanup::InstallSignalCleanup();
    body();
    std::_Exit(0);
  }
  int status = 0;
  ::waitpid(child, &status, 0);
  return status;
}

TEST(RemoveOnSignalTest, AHeldSignalEndsTheProgramOnlyOnceTheWorkIsDone) {
  const auto guarded = Touch("held");
  const auto finished = Touch("finished");
  std::filesystem::remove(finished);
  const int status = StatusOfChild([&] {
    cleanup::RemoveOnSignal guard(guarded);
    const cleanup::HoldSignals hold;
    std::raise(SIGTERM);
    std::ofstream(finished) << "done";
  });
  EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGTERM);
  EXPECT_TRUE(std::filesystem::exists(finished));
  EXPECT_FALSE(std::filesystem::exists(guarded));
  std::filesystem::remove(finished);
}

// Past the file size limit, or into a pipe nobody reads any more.
TEST(RemoveOnSignalTest, AWriteThatCannotGoOnFailsInsteadOfEndingTheProgram) {
  const auto path = Touch("limit");
  const int status = StatusOfChild([&] {
    const rlimit limit{4096, 4096};
    ::setrlimit(RLIMIT_FSIZE, &limit);
    const int file = ::open(path.c_str(), O_WRONLY);
    const char byte = 0;
    const bool tooLarge = ::pwrite(file, &byte, 1, 8192) < 0 && errno == EFBIG;
    int pipe[2] = {-1, -1};
    const bool made = ::pipe(pipe) == 0 && ::close(pipe[0]) == 0;
    const bool readerGone = made && ::write(pipe[1], &byte, 1) < 0 && errno == EPIPE;
    std::_Exit(tooLarge && readerGone ? 0 : 1);
  });
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  std::filesystem::remove(path);
}

}  // namespace
