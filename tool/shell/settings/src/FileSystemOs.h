// The few operating-system file services the settings file needs beyond the C++ library:
// a write that replaces a file in one step, the folder of the running program, and whether a
// folder can take new files. One implementation per system (src/posix/ on Linux).
#pragma once

#include <filesystem>
#include <optional>
#include <string_view>

namespace settings::os {

// Writes the bytes into a new temporary file beside path, flushes it to the disk and renames
// it over path. On failure the temporary file is removed and path is left as it was.
bool ReplaceFileContents(const std::filesystem::path& path, std::string_view bytes);

// The full path of the running program.
std::optional<std::filesystem::path> ProgramFile();

// Whether files can be created and renamed in the folder.
bool IsFolderWritable(const std::filesystem::path& folder);

}  // namespace settings::os
