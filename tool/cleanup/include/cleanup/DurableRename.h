// A finished temporary file put in place of its target so that the new name outlives a power
// cut: the rename, then the folder's own entries written to the disk. The file's data must be
// on the disk before (fsync/fdatasync on it).
#pragma once

#include <filesystem>

namespace cleanup {

// False with errno set when the rename failed. The folder's sync after it is best effort: a
// folder that cannot be opened or synced leaves the new file in place all the same.
bool RenameDurably(const std::filesystem::path& from, const std::filesystem::path& to);

}  // namespace cleanup
