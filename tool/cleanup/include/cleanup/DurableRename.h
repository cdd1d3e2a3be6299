// A finished temporary file put in place of its target so that the new name outlives a power
// cut: the rename, then the folder's own entries written to the disk. The file's data must be
// on the disk before (fsync/fdatasync on it).
#pragma once

#include <filesystem>

namespace cleanup {

// False with errno set when the rename failed, or when the folder could not be written to the
// disk after it (the new file is then in place, but may not survive a power cut). A file
// system that cannot sync a folder counts as done.
bool RenameDurably(const std::filesystem::path& from, const std::filesystem::path& to);

}  // namespace cleanup
