#include "settings/ProfileFile.h"

#include <fstream>
#include <optional>

#include "FileSystemOs.h"
#include "settings/ProfileText.h"

namespace settings {
namespace {

// The whole file; an empty text when it does not exist, nothing when it exists but cannot
// be read (a write must then not replace it).
std::optional<std::string> ReadWholeFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    std::error_code error;
    if (std::filesystem::exists(path, error) || error) {
      return std::nullopt;
    }
    return std::string();
  }
  std::string text;
  char chunk[4096];
  while (in.read(chunk, sizeof chunk) || in.gcount() > 0) {
    text.append(chunk, static_cast<std::size_t>(in.gcount()));
  }
  if (in.bad()) {
    return std::nullopt;
  }
  return text;
}

// The file a write replaces: the target of a symbolic link rather than the link itself.
std::filesystem::path WriteTarget(const std::filesystem::path& path) {
  std::error_code error;
  if (std::filesystem::is_symlink(path, error)) {
    auto target = std::filesystem::weakly_canonical(path, error);
    if (!error) {
      return target;
    }
  }
  return path;
}

}  // namespace

std::int32_t ProfileFile::ReadInt(std::string_view section, std::string_view key,
                                  std::int32_t defaultValue) const {
  const auto value = FindProfileValue(ReadWholeFile(path_).value_or(""), section, key);
  if (!value || value->empty()) {
    return defaultValue;
  }
  return ProfileInteger(*value);
}

std::string ProfileFile::ReadString(std::string_view section, std::string_view key,
                                    std::string_view defaultValue, std::size_t maxLength) const {
  auto value = FindProfileValue(ReadWholeFile(path_).value_or(""), section, key)
                   .value_or(std::string(defaultValue));
  if (value.size() > maxLength) {
    value.resize(maxLength);
  }
  return value;
}

bool ProfileFile::WriteString(std::string_view section, std::string_view key,
                              std::string_view value) const {
  if (value.find_first_of("\r\n") != std::string_view::npos) {
    return false;
  }
  const auto target = WriteTarget(path_);
  const auto text = ReadWholeFile(target);
  if (!text) {
    return false;
  }
  return os::ReplaceFileContents(target, SetProfileValue(*text, section, key, value));
}

bool ProfileFile::WriteInt(std::string_view section, std::string_view key,
                           std::int32_t value) const {
  return WriteString(section, key, std::to_string(value));
}

}  // namespace settings
