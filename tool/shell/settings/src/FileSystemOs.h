// The operating-system file services the settings file needs beyond the C++ library: reading
// and rewriting it under an advisory lock, the folder of the running program, and whether a
// folder can take new files. One implementation per system (src/posix/ on Linux).
//
// Failures come back as a reason in plain words ("permission denied", "its folder does not
// exist", "it is held by another program"), to be shown after the file's path.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace settings::os {

// The file a path names once the symbolic links it ends in are followed (the path itself when
// it is no link); a link to a missing file gives that file's path, relative ones taken from
// the link's folder.
std::filesystem::path LinkedFile(const std::filesystem::path& path);

// The whole file, read under a shared lock so that it is never seen half rewritten. A file
// missing from a folder that exists (the folder of the file a link names, for a link) reads
// as empty, as on a first run. Nothing (and the reason) when no file is named or the file
// cannot be read: a folder or another non-regular file, a missing folder, no permission, a
// lock another program keeps for too long.
std::optional<std::string> ReadSettingsFile(const std::filesystem::path& path,
                                            std::string& failure);

// The file held for one read-modify-write: opened for writing (created empty when missing)
// and locked exclusively, with a bounded wait, on the file its path names once the lock is
// held. Opening for writing is what tells whether this user may write the file.
class SettingsFileLock {
 public:
  explicit SettingsFileLock(const std::filesystem::path& path);
  ~SettingsFileLock();
  SettingsFileLock(const SettingsFileLock&) = delete;
  SettingsFileLock& operator=(const SettingsFileLock&) = delete;

  // Empty when the lock is held; else why not.
  const std::string& Failure() const { return failure_; }

  // The file's whole text.
  std::optional<std::string> Read(std::string& failure) const;

  // New contents: written into a temporary file beside it, flushed and renamed over it, with
  // the old file's mode and owner. When the folder takes no new files or the owner cannot be
  // kept, the file is rewritten in place instead (space reserved first). On failure the file
  // is left as it was and no temporary file remains.
  bool Replace(std::string_view bytes, std::string& failure) const;

 private:
  std::filesystem::path path_;
  int fd_ = -1;
  std::string failure_;
};

// The full path of the running program.
std::optional<std::filesystem::path> ProgramFile();

// Whether files can be created and renamed in the folder.
bool IsFolderWritable(const std::filesystem::path& folder);

}  // namespace settings::os
