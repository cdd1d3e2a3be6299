// zarnik: the window program.
#include <QApplication>
#include <cstdio>
#include <memory>
#include <optional>

#include "channel/VersionReport.h"
#include "cleanup/RemoveOnSignal.h"
#include "settings/SettingsLocation.h"
#include "simulate/Simulation.h"
#include "window/CMainFrame.h"
#include "window/CTessikApp.h"
#include "window/CTessikView.h"
#include "window/PortLibraryHooks.h"
#include "window/ProgramOptions.h"
#include "window/QtText.h"
#include "zarnik/Strings.h"

namespace {

QStringList ArgumentsOf(int argc, char* argv[]) {
  QStringList arguments;
  for (int i = 0; i < argc; ++i) {
    arguments.append(QString::fromLocal8Bit(argv[i]));
  }
  return arguments;
}

// Help and the versions need no window: prints them and gives the exit status.
std::optional<int> AnswerWithoutWindow(const shell::ProgramOptions& options) {
  switch (options.action) {
    case shell::ProgramOptions::Action::kShowHelp:
      std::fputs(options.message.toLocal8Bit().constData(), stdout);
      return 0;
    case shell::ProgramOptions::Action::kShowVersion:
      std::puts(channel::VersionReport("zarnik").c_str());
      return 0;
    case shell::ProgramOptions::Action::kRun:
    case shell::ProgramOptions::Action::kFail:
      break;
  }
  return std::nullopt;
}

}  // namespace

int main(int argc, char* argv[]) {
  // Help and the versions are answered before the window system is opened, so they work
  // without a display. Anything else goes through QApplication first, which takes out Qt's
  // own options (-platform, -style, ...).
  if (const auto answered =
          AnswerWithoutWindow(shell::ParseProgramOptions(ArgumentsOf(argc, argv)))) {
    return *answered;
  }
  cleanup::InstallSignalCleanup();
  QApplication application(argc, argv);
  const auto options = shell::ParseProgramOptions(QApplication::arguments());
  if (const auto answered = AnswerWithoutWindow(options)) {
    return *answered;
  }
  if (options.action == shell::ProgramOptions::Action::kFail) {
    std::fprintf(stderr, "zarnik: %s\n", options.message.toLocal8Bit().constData());
    return 2;
  }
  // The simulated machine is in place before the window makes its first port library call
  // and goes only after the last.
  std::unique_ptr<simulate::Simulation> simulation;
  shell::WindowHooks hooks = shell::PortLibraryHooks();
  if (options.simulate) {
    std::string error;
    simulation = simulate::Simulation::Start({options.simConfig,
                                              options.simTrace,
                                              settings::ChosenSettingsFile(options.settingsFile),
                                              {}},
                                             error);
    if (!simulation) {
      std::fprintf(stderr, "zarnik: %s\n", error.c_str());
      return 2;
    }
  }
  shell::CTessikApp tessik(options, std::move(hooks));
  tessik.InitInstance();
  if (simulation) {
    auto* frame = tessik.MainFrame();
    frame->setWindowTitle(frame->windowTitle() +
                          shell::ToQString(zarnik::text::kSimulatedTitleSuffix));
  }
  const int status = QApplication::exec();
  if (tessik.MainFrame()->View()->EndedOnFailure()) {
    return 1;
  }
  if (simulation && !simulation->TraceWritten()) {
    std::fprintf(stderr, "zarnik: cannot write the trace file %s\n", options.simTrace->c_str());
    return 1;
  }
  return status;
}
