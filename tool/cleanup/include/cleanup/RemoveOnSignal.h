// Files that must not outlive an interrupted program: a partial output, a settings file's
// temporary copy. While a guard holds a path, ending the process by SIGINT, SIGTERM or SIGHUP
// removes that file before the process ends the way the signal asks. A program that handles
// one of these signals itself (to close a printer job first) calls RemoveGuardedFiles() before
// it ends.
#pragma once

#include <cstddef>
#include <filesystem>

namespace cleanup {

// How many paths can be guarded at once; a guard beyond that guards nothing (the file is
// still removed by its owner on every ordinary failure path).
inline constexpr std::size_t kGuardSlots = 16;

class RemoveOnSignal {
 public:
  explicit RemoveOnSignal(const std::filesystem::path& path);
  ~RemoveOnSignal();
  RemoveOnSignal(const RemoveOnSignal&) = delete;
  RemoveOnSignal& operator=(const RemoveOnSignal&) = delete;

  // The file is the program's to keep (or already gone): stop guarding it.
  void Release();
  bool Guarding() const { return slot_ != kGuardSlots; }

 private:
  std::size_t slot_;
};

// While a HoldSignals lives, SIGINT, SIGTERM and SIGHUP wait for it: work that must not stop
// half done (a result copied into the file it replaces) finishes first. When the last hold
// goes, a signal that came meanwhile removes the guarded files and ends the program.
class HoldSignals {
 public:
  HoldSignals();
  ~HoldSignals();
  HoldSignals(const HoldSignals&) = delete;
  HoldSignals& operator=(const HoldSignals&) = delete;
};

// Installs the handlers for SIGINT, SIGTERM and SIGHUP once; later calls do nothing. A
// signal that was ignored when the program started stays ignored. A write beyond the file size
// limit, or into a pipe whose reader has gone (`zarnik-cli ... | head`), fails as an error the
// program reports (SIGXFSZ and SIGPIPE are ignored) instead of ending it silently, with its
// partial output left behind or a printer job left open.
void InstallSignalCleanup();

// Removes every guarded file now. Safe to call from a signal handler.
void RemoveGuardedFiles();

}  // namespace cleanup
