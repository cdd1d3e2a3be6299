#include "settings/ProfileFile.h"

#include <algorithm>
#include <iterator>

#include "FileSystemOs.h"
#include "settings/ProfileText.h"
#include "settings/UnsavedSettings.h"

namespace settings {

std::optional<ProfileFailure> ProfileFile::Load() const {
  std::string reason;
  auto text = os::ReadSettingsFile(path_, reason);
  text_ = text ? std::move(*text) : std::string();
  if (!text) {
    return ProfileFailure{path_, reason};
  }
  return std::nullopt;
}

const std::string& ProfileFile::Text() const {
  if (!text_) {
    Load();
  }
  return *text_;
}

std::int32_t ProfileFile::ReadInt(std::string_view section, std::string_view key,
                                  std::int32_t defaultValue) const {
  const auto value = FindProfileValue(Text(), section, key);
  if (!value || value->empty()) {
    return defaultValue;
  }
  return ProfileInteger(*value);
}

std::string ProfileFile::ReadString(std::string_view section, std::string_view key,
                                    std::string_view defaultValue, std::size_t maxLength) const {
  auto value = FindProfileValue(Text(), section, key).value_or(std::string(defaultValue));
  if (value.size() > maxLength) {
    value.resize(maxLength);
  }
  return value;
}

bool ProfileFile::Write(std::string_view section, const std::vector<ProfileEntry>& entries) const {
  const auto unsaved = [this](std::string reason) {
    NoteUnsavedSettings({path_, std::move(reason)});
    return false;
  };
  for (const auto& entry : entries) {
    if (entry.value.find_first_of("\r\n") != std::string::npos) {
      return unsaved("the value of " + entry.key + " holds a line break");
    }
  }
  // Values the file holds already (as it is now, not as loaded) are not written again: their
  // lines stay as the user wrote them, and with nothing to change a file this user may not
  // write is not reported unsaved.
  const auto changesTo = [&](const std::string& text) {
    std::vector<ProfileEntry> changes;
    std::copy_if(entries.begin(), entries.end(), std::back_inserter(changes),
                 [&](const ProfileEntry& entry) {
                   return FindProfileValue(text, section, entry.key) != entry.value;
                 });
    return changes;
  };
  std::string reason;
  if (auto now = os::ReadSettingsFile(path_, reason); now && changesTo(*now).empty()) {
    text_ = std::move(*now);
    return true;
  }
  // Through a symbolic link, the file it names is rewritten and the link kept.
  const os::SettingsFileLock lock(os::LinkedFile(path_));
  if (!lock.Failure().empty()) {
    return unsaved(lock.Failure());
  }
  auto text = lock.Read(reason);
  if (!text) {
    return unsaved(reason);
  }
  for (const auto& entry : changesTo(*text)) {
    *text = SetProfileValue(*text, section, entry.key, entry.value);
  }
  if (!lock.Replace(*text, reason)) {
    return unsaved(reason);
  }
  text_ = std::move(*text);
  return true;
}

bool ProfileFile::WriteString(std::string_view section, std::string_view key,
                              std::string_view value) const {
  return Write(section, {{std::string(key), std::string(value)}});
}

bool ProfileFile::WriteInt(std::string_view section, std::string_view key,
                           std::int32_t value) const {
  return WriteString(section, key, std::to_string(value));
}

}  // namespace settings
