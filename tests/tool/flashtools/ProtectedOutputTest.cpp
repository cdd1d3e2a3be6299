// What the file tools do with outputs they may not or should not replace, and how they say
// why a file could not be used.
#include <sys/stat.h>
#include <unistd.h>

#include <string>

#include <gtest/gtest.h>

#include "OtherUser.h"
#include "TestSupport.h"
#include "flashtools/FileTools.h"

namespace flashtools::test {
namespace {

namespace fs = std::filesystem;

struct stat StatusOf(const fs::path& path) {
  struct stat status {};
  EXPECT_EQ(::stat(path.c_str(), &status), 0) << path;
  return status;
}

unsigned ModeOf(const fs::path& path) {
  return StatusOf(path).st_mode & 0777U;
}

std::string Denied(const char* verb, const fs::path& path) {
  return std::string("Cannot ") + verb + " " + path.string() + ": permission denied.";
}

TEST(ProtectedOutputTest, AWriteProtectedOutputIsRefusedAndKeptAsItWas) {
  SharedDir dir;
  WriteFile(dir / "in.bin", {1, 2, 3});
  WriteFile(dir / "out.vop", {0xEE});
  fs::permissions(dir / "out.vop",
                  fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);

  const OtherUserRun added = RunAsOtherUser(
      [&](UserInterface& ui) { return AddHeader(dir / "in.bin", dir / "out.vop", ui); });
  EXPECT_EQ(added.result, ToolResult::kFailed);
  EXPECT_EQ(added.message, Denied("write", dir / "out.vop"));
  const OtherUserRun arranged = RunAsOtherUser(
      [&](UserInterface& ui) { return ArrangeBands(dir / "in.bin", dir / "out.vop", ui); });
  EXPECT_EQ(arranged.result, ToolResult::kFailedKeepOpen);
  EXPECT_EQ(arranged.message, Denied("write", dir / "out.vop"));

  EXPECT_EQ(ReadFile(dir / "out.vop"), Bytes{0xEE});
  EXPECT_EQ(ModeOf(dir / "out.vop"), 0444U);
  EXPECT_FALSE(fs::exists(dir / "out.vop.partial"));
}

TEST(ProtectedOutputTest, SaysPermissionDeniedWhereThatIsTheReason) {
  SharedDir dir;
  WriteFile(dir / "secret.bin", {1, 2, 3});
  fs::permissions(dir / "secret.bin", fs::perms::none);
  WriteFile(dir / "in.bin", {1, 2, 3});
  fs::create_directory(dir / "locked");
  fs::permissions(dir / "locked", fs::perms::owner_read | fs::perms::owner_exec |
                                      fs::perms::others_read | fs::perms::others_exec);

  const auto secret = dir / "secret.bin";
  EXPECT_EQ(RunAsOtherUser([&](UserInterface& ui) { return CheckFileFormat(secret, ui); }).message,
            Denied("read", secret));
  EXPECT_EQ(RunAsOtherUser([&](UserInterface& ui) {
              return AddHeader(secret, dir / "out.vop", ui);
            }).message,
            Denied("read", secret));
  const OtherUserRun arranged =
      RunAsOtherUser([&](UserInterface& ui) { return ArrangeBands(secret, dir / "out.prn", ui); });
  EXPECT_EQ(arranged.result, ToolResult::kFailedKeepOpen);
  EXPECT_EQ(arranged.message, Denied("read", secret));

  // A folder the user may not write to.
  const auto locked = dir / "locked" / "out.vop";
  EXPECT_EQ(RunAsOtherUser([&](UserInterface& ui) {
              return AddHeader(dir / "in.bin", locked, ui);
            }).message,
            Denied("write", locked));
}

TEST(ProtectedOutputTest, ReplacingAnOutputKeepsItsModeAndTheLinkToIt) {
  TempDir dir;
  WriteFile(dir / "in.bin", {1, 2, 3});
  WriteFile(dir / "private.vop", {0xEE});
  fs::permissions(dir / "private.vop", fs::perms::owner_read | fs::perms::owner_write);
  WriteFile(dir / "target.vop", {0xEE});
  fs::create_symlink("target.vop", dir / "link.vop");

  RecordingUserInterface ui;
  EXPECT_EQ(AddHeader(dir / "in.bin", dir / "private.vop", ui), ToolResult::kSucceeded);
  EXPECT_EQ(ModeOf(dir / "private.vop"), 0600U);
  EXPECT_EQ(ReadFile(dir / "private.vop").size(), 260U);

  EXPECT_EQ(AddHeader(dir / "in.bin", dir / "link.vop", ui), ToolResult::kSucceeded);
  EXPECT_TRUE(fs::is_symlink(dir / "link.vop"));
  EXPECT_EQ(ReadFile(dir / "target.vop").size(), 260U);

  // A link to a file not made yet makes it.
  fs::create_directory(dir / "sub");
  fs::create_symlink("sub/new.vop", dir / "ahead.vop");
  EXPECT_EQ(AddHeader(dir / "in.bin", dir / "ahead.vop", ui), ToolResult::kSucceeded);
  EXPECT_TRUE(fs::is_symlink(dir / "ahead.vop"));
  EXPECT_EQ(ReadFile(dir / "sub" / "new.vop").size(), 260U);
}

TEST(ProtectedOutputTest, AnotherUsersWritableFileKeepsItsOwner) {
  if (!RunningAsRoot()) {
    GTEST_SKIP() << "only root can make a file of another user";
  }
  SharedDir dir;
  WriteFile(dir / "in.bin", {1, 2, 3});
  WriteFile(dir / "shared.vop", Bytes(1000, 0xEE));  // longer than the result: cut back
  fs::permissions(dir / "shared.vop", fs::perms::owner_read | fs::perms::owner_write |
                                          fs::perms::group_read | fs::perms::group_write |
                                          fs::perms::others_read | fs::perms::others_write);
  const OtherUserRun run = RunAsOtherUser(
      [&](UserInterface& ui) { return AddHeader(dir / "in.bin", dir / "shared.vop", ui); });
  EXPECT_EQ(run.result, ToolResult::kSucceeded) << run.message;
  const struct stat status = StatusOf(dir / "shared.vop");
  EXPECT_EQ(status.st_uid, 0U);
  EXPECT_EQ(status.st_mode & 0777U, 0666U);
  EXPECT_EQ(ReadFile(dir / "shared.vop").size(), 260U);
  EXPECT_FALSE(fs::exists(dir / "shared.vop.partial"));
}

// A link another user left in a shared folder like /tmp is not followed, even by root.
TEST(ProtectedOutputTest, ALinkPlantedInASharedFolderIsRefused) {
  if (!RunningAsRoot()) {
    GTEST_SKIP() << "only root can make a link of another user";
  }
  SharedDir dir;
  WriteFile(dir / "in.bin", {1, 2, 3});
  fs::permissions(dir / "", fs::perms::sticky_bit, fs::perm_options::add);
  fs::create_symlink("elsewhere.vop", dir / "planted.vop");
  ASSERT_EQ(::lchown((dir / "planted.vop").c_str(), 65534, 65534), 0);

  RecordingUserInterface ui;
  EXPECT_EQ(AddHeader(dir / "in.bin", dir / "planted.vop", ui), ToolResult::kFailed);
  EXPECT_FALSE(fs::exists(dir / "elsewhere.vop"));
  EXPECT_TRUE(fs::is_symlink(dir / "planted.vop"));
}

// A folder, and a pipe named through the system's own links (as /dev/stdout may be).
TEST(ProtectedOutputTest, ReplacesNothingButARegularFile) {
  TempDir dir;
  WriteFile(dir / "in.bin", {1, 2, 3});
  fs::create_directory(dir / "folder.vop");
  int pipe[2] = {-1, -1};
  ASSERT_EQ(::pipe(pipe), 0);
  const fs::path pipeByNumber = "/proc/self/fd/" + std::to_string(pipe[1]);
  RecordingUserInterface ui;
  EXPECT_EQ(AddHeader(dir / "in.bin", dir / "folder.vop", ui), ToolResult::kFailed);
  EXPECT_EQ(ArrangeBands(dir / "in.bin", dir / "folder.vop", ui), ToolResult::kFailedKeepOpen);
  EXPECT_EQ(AddHeader(dir / "in.bin", pipeByNumber, ui), ToolResult::kFailed);
  ::close(pipe[0]);
  ::close(pipe[1]);
  ASSERT_EQ(ui.messages.size(), 3U);
  for (std::size_t i = 0; i < ui.messages.size(); ++i) {
    const fs::path output = i < 2 ? dir / "folder.vop" : pipeByNumber;
    EXPECT_EQ(ui.messages[i].text,
              "Cannot replace " + output.string() + ": it is not a regular file.");
  }
  EXPECT_TRUE(fs::is_directory(dir / "folder.vop"));
}

}  // namespace
}  // namespace flashtools::test
