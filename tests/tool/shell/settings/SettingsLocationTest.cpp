#include "settings/SettingsLocation.h"

#include <gtest/gtest.h>

#include "TempFolder.h"

namespace {

TEST(SettingsLocationTest, ProgramFolderWhenWritable) {
  EXPECT_EQ(settings::ChooseSettingsFile("/opt/zarnik/bin", true, "/home/u/.config/zarnik"),
            "/opt/zarnik/bin/zarnik.INI");
}

TEST(SettingsLocationTest, UserFolderWhenTheProgramFolderIsReadOnly) {
  EXPECT_EQ(settings::ChooseSettingsFile("/usr/bin", false, "/home/u/.config/zarnik"),
            "/home/u/.config/zarnik/zarnik.INI");
  EXPECT_EQ(settings::ChooseSettingsFile("/usr/bin", false, std::nullopt), "/usr/bin/zarnik.INI");
}

// A packaged program is never written beside, not even by root: removing the package must leave
// nothing behind in /usr.
TEST(SettingsLocationTest, SystemProgramFoldersNeverTakeTheSettingsFile) {
  EXPECT_TRUE(settings::IsSystemProgramFolder("/usr/bin"));
  EXPECT_TRUE(settings::IsSystemProgramFolder("/usr/local/bin"));
  EXPECT_TRUE(settings::IsSystemProgramFolder("/opt/../usr/bin"));
  EXPECT_FALSE(settings::IsSystemProgramFolder("/usrlocal/bin"));
  EXPECT_FALSE(settings::IsSystemProgramFolder("/home/u/zarnik/build/default/bin"));
  EXPECT_FALSE(settings::IsSystemProgramFolder("/opt/zarnik/bin"));
}

TEST(SettingsLocationTest, UserFolderFromTheEnvironment) {
  EXPECT_EQ(settings::UserSettingsFolder("/x/cfg", "/home/u"), "/x/cfg/zarnik");
  EXPECT_EQ(settings::UserSettingsFolder(nullptr, "/home/u"), "/home/u/.config/zarnik");
  EXPECT_EQ(settings::UserSettingsFolder("relative", "/home/u"), "/home/u/.config/zarnik");
  EXPECT_EQ(settings::UserSettingsFolder("", ""), std::nullopt);
}

TEST(SettingsLocationTest, TheUsersCopyOfAReadOnlySeedCanBeWritten) {
  testing_support::TempFolder folder;
  const auto seed = folder / "seed.INI";
  testing_support::WriteText(seed, "[System]\nOutput=0\n");
  std::filesystem::permissions(seed, std::filesystem::perms::owner_read);
  const auto copy = folder / "user" / "zarnik" / "zarnik.INI";
  settings::StartUserSettingsFile(copy, seed);
  EXPECT_EQ(testing_support::ReadText(copy), "[System]\nOutput=0\n");
  EXPECT_NE(std::filesystem::status(copy).permissions() & std::filesystem::perms::owner_write,
            std::filesystem::perms::none);
}

}  // namespace
