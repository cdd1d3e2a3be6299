// Where the settings file lies. Both programs, the window and the command line, share one
// file: "zarnik.INI" in the folder of the program. Where that folder cannot be written (an
// installation under /usr), the file is the user's own copy in
// $XDG_CONFIG_HOME/zarnik/zarnik.INI (~/.config/zarnik/zarnik.INI when the variable is not
// set), started from the program folder's file when one is there.
#pragma once

#include <filesystem>
#include <optional>
#include <string>

namespace settings {

inline constexpr const char* kSettingsFileName = "zarnik.INI";

// The user's configuration folder for the tool, from the environment values given.
std::optional<std::filesystem::path> UserSettingsFolder(const char* xdgConfigHome,
                                                        const char* home);

// The choice itself: the program folder's file when that folder can be written, else the
// file in the user folder (the program folder's file when there is no user folder either).
std::filesystem::path ChooseSettingsFile(const std::filesystem::path& programFolder,
                                         bool programFolderWritable,
                                         const std::optional<std::filesystem::path>& userFolder);

// Whether the program lies in the system's own tree (/usr, where packages install): such a
// folder never takes the settings file, even for a user who may write it (root), so that
// nothing is left there that the package manager does not know of.
bool IsSystemProgramFolder(const std::filesystem::path& programFolder);

// Whether the user's configuration folder can take the settings file: it can be written, or
// created where its nearest existing parent can be written. A home that cannot (a system
// user's "/nonexistent") counts as no user folder.
bool CanHoldSettings(const std::filesystem::path& folder);

// The settings file of this process, chosen as above from the running program's folder and
// the environment. Nothing is created.
std::filesystem::path DefaultSettingsFile();

// The settings file of a program run: the one named on its command line (--settings FILE),
// else DefaultSettingsFile(). Nothing is created: this is the name to show.
std::filesystem::path LocateSettingsFile(const std::optional<std::filesystem::path>& named);

// As LocateSettingsFile, and made ready for use: when the default is the user's own file and
// it does not exist yet, its folder is created and the program folder's file, if any, is
// copied in as its start. The window program and the command line both choose here.
std::filesystem::path ChosenSettingsFile(const std::optional<std::filesystem::path>& named);

// The line that names the settings file in use, with its full path ("Settings file: ...").
std::string DescribeSettingsFile(const std::filesystem::path& file);

// Starts the user's own file when it does not exist: its folder is created and the seed, when
// there is one, copied in, writable by the user even when the seed is read-only.
void StartUserSettingsFile(const std::filesystem::path& file, const std::filesystem::path& seed);

}  // namespace settings
