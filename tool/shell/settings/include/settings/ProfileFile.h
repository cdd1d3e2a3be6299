// One private profile (INI) settings file. The file is read once, by Load() or by the first
// read, and every read takes its value from that text with its default. Every write is one
// read-modify-write of the file as it is now, under an exclusive advisory lock, so programs
// saving at the same time keep each other's keys; the new text replaces the old file in one
// step (a temporary file renamed over it), so a reader never sees a half-written file.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace settings {

// Why a settings file could not be read or saved: the file tried and the reason in plain
// words ("permission denied", "its folder does not exist", "it is held by another program").
struct ProfileFailure {
  std::filesystem::path path;
  std::string reason;
};

struct ProfileEntry {
  std::string key;
  std::string value;
};

class ProfileFile {
 public:
  explicit ProfileFile(std::filesystem::path path) : path_(std::move(path)) {}

  const std::filesystem::path& Path() const { return path_; }

  // Reads the file (again); the reads that follow take their values from this text. A file
  // missing from a folder that exists reads as empty. Returns why the file cannot be read (a
  // folder, a missing folder, no permission); the reads then give their defaults.
  std::optional<ProfileFailure> Load() const;

  // The text the reads use (loaded now when it was not yet).
  const std::string& Text() const;

  // The key's integer: the default when the file, the section or the key is missing or the
  // value is empty; otherwise the value as ProfileInteger reads it (0 when not a number).
  std::int32_t ReadInt(std::string_view section, std::string_view key,
                       std::int32_t defaultValue) const;

  // The key's text, or the default when it is missing; either way cut to maxLength bytes.
  std::string ReadString(std::string_view section, std::string_view key,
                         std::string_view defaultValue, std::size_t maxLength) const;

  // Sets the keys of one section in one rewrite, keeping every other line of the file;
  // creates the file and the section when they do not exist. A value holding a line break is
  // refused (it would turn into lines of its own). A file this user may not write is not
  // replaced. Returns false when the file cannot be written; it is then unchanged, and the
  // failure is noted for the user (see UnsavedSettings.h).
  bool Write(std::string_view section, const std::vector<ProfileEntry>& entries) const;

  bool WriteString(std::string_view section, std::string_view key, std::string_view value) const;

  // The integer written in decimal ("%d").
  bool WriteInt(std::string_view section, std::string_view key, std::int32_t value) const;

 private:
  std::filesystem::path path_;
  mutable std::optional<std::string> text_;
};

}  // namespace settings
