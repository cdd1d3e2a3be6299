// The command line of the window program, parsed in one place.
#pragma once

#include <QString>
#include <QStringList>
#include <filesystem>
#include <optional>

namespace shell {

struct ProgramOptions {
  enum class Action { kRun, kShowHelp, kShowVersion, kFail };
  Action action = Action::kRun;
  QString message;  // the help text, or what is wrong with the command line

  std::optional<std::filesystem::path> settingsFile;  // --settings FILE
  bool showSplash = true;                             // --no-splash turns it off
  // --simulate: run on the simulated machine with the virtual printer on LPT1: and USB, set up from
  // --sim-config FILE and traced into --sim-trace FILE.
  bool simulate = false;
  std::optional<std::filesystem::path> simConfig;
  std::optional<std::filesystem::path> simTrace;
  // --screenshot-dir DIR (not in the help): save pictures of the window and dialogs, then end.
  std::optional<std::filesystem::path> screenshotDir;
};

ProgramOptions ParseProgramOptions(const QStringList& arguments);

}  // namespace shell
