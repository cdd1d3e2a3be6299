#include "settings/SettingsLocation.h"

#include <cstdlib>
#include <system_error>

#include "FileSystemOs.h"

namespace settings {

std::optional<std::filesystem::path> UserSettingsFolder(const char* xdgConfigHome,
                                                        const char* home) {
  // Only an absolute XDG_CONFIG_HOME counts; a relative one is to be ignored.
  if (xdgConfigHome != nullptr && xdgConfigHome[0] == '/') {
    return std::filesystem::path(xdgConfigHome) / "zarnik";
  }
  if (home != nullptr && home[0] == '/') {
    return std::filesystem::path(home) / ".config" / "zarnik";
  }
  return std::nullopt;
}

std::filesystem::path ChooseSettingsFile(const std::filesystem::path& programFolder,
                                         bool programFolderWritable,
                                         const std::optional<std::filesystem::path>& userFolder) {
  if (programFolderWritable || !userFolder) {
    return programFolder / kSettingsFileName;
  }
  return *userFolder / kSettingsFileName;
}

std::filesystem::path DefaultSettingsFile() {
  const auto program = os::ProgramFile();
  const auto programFolder = program ? program->parent_path() : std::filesystem::current_path();
  auto chosen =
      ChooseSettingsFile(programFolder, os::IsFolderWritable(programFolder),
                         UserSettingsFolder(std::getenv("XDG_CONFIG_HOME"), std::getenv("HOME")));
  std::error_code error;
  if (chosen.parent_path() != programFolder && !std::filesystem::exists(chosen, error)) {
    std::filesystem::create_directories(chosen.parent_path(), error);
    const auto seed = programFolder / kSettingsFileName;
    if (std::filesystem::exists(seed, error)) {
      std::filesystem::copy_file(seed, chosen, error);
    }
  }
  return chosen;
}

std::filesystem::path ChosenSettingsFile(const std::optional<std::filesystem::path>& named) {
  return named ? *named : DefaultSettingsFile();
}

}  // namespace settings
