#include "settings/SettingsLocation.h"

#include <cstdlib>
#include <random>
#include <string>
#include <system_error>

#include "FileSystemOs.h"
#include "cleanup/RemoveOnSignal.h"
#include "zarnik/FilledText.h"
#include "zarnik/Strings.h"

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

bool IsSystemProgramFolder(const std::filesystem::path& programFolder) {
  const auto folder = programFolder.lexically_normal();
  auto part = folder.begin();  // the root "/", then the first folder
  return folder.is_absolute() && ++part != folder.end() && *part == "usr";
}

bool CanHoldSettings(const std::filesystem::path& folder) {
  std::error_code error;
  for (auto existing = folder; !existing.empty(); existing = existing.parent_path()) {
    if (std::filesystem::exists(existing, error)) {
      return std::filesystem::is_directory(existing, error) && os::IsFolderWritable(existing);
    }
    if (existing == existing.parent_path()) {
      break;
    }
  }
  return false;
}

namespace {

std::filesystem::path ProgramFolder() {
  const auto program = os::ProgramFile();
  return program ? program->parent_path() : std::filesystem::current_path();
}

}  // namespace

std::filesystem::path DefaultSettingsFile() {
  const auto programFolder = ProgramFolder();
  auto userFolder = UserSettingsFolder(std::getenv("XDG_CONFIG_HOME"), std::getenv("HOME"));
  if (userFolder && !CanHoldSettings(*userFolder)) {
    userFolder.reset();
  }
  const bool programFolderTakesSettings =
      !IsSystemProgramFolder(programFolder) && os::IsFolderWritable(programFolder);
  return ChooseSettingsFile(programFolder, programFolderTakesSettings, userFolder);
}

std::filesystem::path LocateSettingsFile(const std::optional<std::filesystem::path>& named) {
  return named ? *named : DefaultSettingsFile();
}

std::filesystem::path ChosenSettingsFile(const std::optional<std::filesystem::path>& named) {
  if (named) {
    return *named;
  }
  auto chosen = DefaultSettingsFile();
  const auto programFolder = ProgramFolder();
  if (chosen.parent_path() != programFolder) {
    StartUserSettingsFile(chosen, programFolder / kSettingsFileName);
  }
  return chosen;
}

void StartUserSettingsFile(const std::filesystem::path& file, const std::filesystem::path& seed) {
  namespace fs = std::filesystem;
  std::error_code error;
  if (fs::exists(file, error)) {
    return;
  }
  fs::create_directories(file.parent_path(), error);
  if (!fs::exists(seed, error)) {
    return;
  }
  // Copied under another name and linked into place whole: a copy cut short (a full disk, an
  // interrupt) is never taken for the user's settings, and a second program starting at the
  // same moment finds no file or a whole one. Where the other program was first, its copy
  // stands.
  const fs::path temporary = file.string() + "." + std::to_string(std::random_device{}());
  const cleanup::RemoveOnSignal guard(temporary);
  if (fs::copy_file(seed, temporary, error)) {
    // An installed file is often read-only; the user's copy is the user's to change.
    fs::permissions(temporary, fs::perms::owner_read | fs::perms::owner_write,
                    fs::perm_options::add, error);
    fs::create_hard_link(temporary, file, error);
    if (error && error != std::errc::file_exists) {
      fs::rename(temporary, file, error);  // a file system without hard links
    }
  }
  fs::remove(temporary, error);
}

std::string DescribeSettingsFile(const std::filesystem::path& file) {
  std::error_code error;
  auto full = std::filesystem::absolute(file, error);
  if (error) {
    full = file;
  }
  return zarnik::FilledText(zarnik::text::kSettingsFileFormat, {full.lexically_normal().string()});
}

}  // namespace settings
