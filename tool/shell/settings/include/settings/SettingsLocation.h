// Where the settings file lies. Both programs, the window and the command line, share one
// file: "zarnik.INI" in the folder of the program. Where that folder cannot be written (an
// installation under /usr), the file is the user's own copy in
// $XDG_CONFIG_HOME/zarnik/zarnik.INI (~/.config/zarnik/zarnik.INI when the variable is not
// set), started from the program folder's file when one is there.
#pragma once

#include <filesystem>
#include <optional>

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

// The settings file of this process, chosen as above from the running program's folder and
// the environment. When the user's file is chosen and does not exist yet, its folder is
// created and the program folder's file, if any, is copied in as its start.
std::filesystem::path DefaultSettingsFile();

// The settings file of a program run: the one named on its command line (--settings FILE),
// else DefaultSettingsFile(). The window program and the command line both choose here.
std::filesystem::path ChosenSettingsFile(const std::optional<std::filesystem::path>& named);

}  // namespace settings
