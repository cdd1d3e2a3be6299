// Settings files of other users and files this user may not write: run as root, acting as
// the unprivileged user 65534 in a child process where a second user is needed.
#include <grp.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <functional>
#include <iostream>

#include <gtest/gtest.h>

#include "TempFolder.h"
#include "settings/ProfileFile.h"
#include "settings/SettingsLocation.h"
#include "settings/UnsavedSettings.h"

namespace {

using testing_support::ReadText;
using testing_support::TempFolder;
using testing_support::WriteText;

constexpr uid_t kOtherUser = 65534;

// Runs check in a child process as the other user; true when it held. The child says on
// standard error what did not.
bool AsOtherUser(const std::function<bool()>& check) {
  const pid_t child = ::fork();
  if (child == 0) {
    const bool switched =
        ::setgroups(0, nullptr) == 0 && ::setgid(kOtherUser) == 0 && ::setuid(kOtherUser) == 0;
    ::_exit(switched && check() ? 0 : 1);
  }
  int status = 0;
  ::waitpid(child, &status, 0);
  return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

bool Expect(bool held, const char* what) {
  if (!held) {
    std::cerr << "not so: " << what << '\n';
  }
  return held;
}

struct stat StatOf(const std::filesystem::path& path) {
  struct stat info {};
  ::stat(path.c_str(), &info);
  return info;
}

class ProfilePermissionTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (::geteuid() != 0) {
      GTEST_SKIP() << "acting as two users needs root";
    }
    std::filesystem::permissions(folder_.Path(), std::filesystem::perms::all);
  }

  // A settings file with this owner and mode.
  std::filesystem::path Made(const std::string& name, uid_t owner, mode_t mode) const {
    auto path = folder_ / name;
    WriteText(path, "[System]\nOutput=0\n");
    EXPECT_EQ(::chown(path.c_str(), owner, owner), 0);
    EXPECT_EQ(::chmod(path.c_str(), mode), 0);
    return path;
  }

  TempFolder folder_;
};

TEST_F(ProfilePermissionTest, AFileThisUserMayNotWriteIsNotReplaced) {
  const auto readOnly = Made("own-read-only.INI", kOtherUser, 0444);
  const auto othersFile = Made("root.INI", 0, 0644);
  EXPECT_TRUE(AsOtherUser([&] {
    bool held = true;
    for (const auto& path : {readOnly, othersFile}) {
      held =
          Expect(!settings::ProfileFile(path).WriteInt("System", "Output", 1), "refused") && held;
      const auto told = settings::TakeUntoldUnsavedSettings();
      held = Expect(told && told->path == path && told->reason == "permission denied",
                    "told as permission denied") &&
             held;
    }
    return held;
  }));
  for (const auto& path : {readOnly, othersFile}) {
    EXPECT_EQ(ReadText(path), "[System]\nOutput=0\n") << path;
  }
  EXPECT_EQ(StatOf(readOnly).st_uid, kOtherUser);
  EXPECT_EQ(StatOf(readOnly).st_mode & 07777, 0444U);
  EXPECT_EQ(StatOf(othersFile).st_uid, 0U);
}

TEST_F(ProfilePermissionTest, ReplacingKeepsOwnerAndMode) {
  // Root saves into a user's file: it stays the user's.
  const auto usersFile = Made("user.INI", kOtherUser, 0640);
  ASSERT_TRUE(settings::ProfileFile(usersFile).WriteInt("System", "Output", 1));
  EXPECT_EQ(StatOf(usersFile).st_uid, kOtherUser);
  EXPECT_EQ(StatOf(usersFile).st_gid, kOtherUser);
  EXPECT_EQ(StatOf(usersFile).st_mode & 07777, 0640U);

  // A user saves into a shared file that is not theirs, and into a writable file in a folder
  // that takes no new files: both are rewritten where they are.
  const auto shared = Made("shared.INI", 0, 0666);
  std::filesystem::create_directories(folder_ / "closed");
  const auto inClosedFolder = folder_ / "closed" / "zarnik.INI";
  WriteText(inClosedFolder, "[System]\nOutput=0\n");
  ::chmod(inClosedFolder.c_str(), 0666);
  ::chmod((folder_ / "closed").c_str(), 0555);
  EXPECT_TRUE(AsOtherUser([&] {
    return Expect(settings::ProfileFile(shared).WriteInt("System", "Output", 1), "shared") &&
           Expect(settings::ProfileFile(inClosedFolder).WriteInt("System", "Output", 1),
                  "in a closed folder");
  }));
  for (const auto& path : {shared, inClosedFolder}) {
    EXPECT_EQ(ReadText(path), "[System]\nOutput=1\n") << path;
    EXPECT_EQ(StatOf(path).st_uid, 0U) << path;
    EXPECT_EQ(StatOf(path).st_mode & 07777, 0666U) << path;
  }
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder_ / "closed"), {}), 1);
}

TEST_F(ProfilePermissionTest, NoUsableHomeMeansTheProgramFolder) {
  // The test program's folder belongs to root, so the other user cannot write there.
  const auto programFolder = std::filesystem::read_symlink("/proc/self/exe").parent_path();
  EXPECT_TRUE(AsOtherUser([&] {
    ::unsetenv("XDG_CONFIG_HOME");
    ::setenv("HOME", "/nonexistent", 1);
    return Expect(settings::DefaultSettingsFile() == programFolder / "zarnik.INI",
                  "the program folder's file");
  }));
}

}  // namespace
