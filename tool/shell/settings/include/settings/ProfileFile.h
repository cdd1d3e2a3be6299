// One private profile (INI) settings file. Every read opens the file afresh and carries its
// default; every write rewrites the file as a whole through a temporary file that replaces
// the old one in one step, so a reader never sees a half-written file.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

namespace settings {

class ProfileFile {
 public:
  explicit ProfileFile(std::filesystem::path path) : path_(std::move(path)) {}

  const std::filesystem::path& Path() const { return path_; }

  // The key's integer: the default when the file, the section or the key is missing or the
  // value is empty; otherwise the value as ProfileInteger reads it (0 when not a number).
  std::int32_t ReadInt(std::string_view section, std::string_view key,
                       std::int32_t defaultValue) const;

  // The key's text, or the default when it is missing; either way cut to maxLength bytes.
  std::string ReadString(std::string_view section, std::string_view key,
                         std::string_view defaultValue, std::size_t maxLength) const;

  // Set one key, keeping every other line of the file; creates the file and the section
  // when they do not exist. A value holding a line break is refused (it would turn into
  // lines of its own). Returns false when the file cannot be written; it is then unchanged.
  bool WriteString(std::string_view section, std::string_view key, std::string_view value) const;

  // The integer written in decimal ("%d").
  bool WriteInt(std::string_view section, std::string_view key, std::int32_t value) const;

 private:
  std::filesystem::path path_;
};

}  // namespace settings
