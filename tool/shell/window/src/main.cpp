// zarnik: the window program.
#include <QApplication>
#include <cstdio>

#include "window/CTessikApp.h"
#include "window/PortLibraryHooks.h"
#include "window/ProgramOptions.h"

namespace {

QStringList ArgumentsOf(int argc, char* argv[]) {
  QStringList arguments;
  for (int i = 0; i < argc; ++i) {
    arguments.append(QString::fromLocal8Bit(argv[i]));
  }
  return arguments;
}

}  // namespace

int main(int argc, char* argv[]) {
  // Help is answered before the window system is opened, so it works without a display.
  // Anything else goes through QApplication first, which takes out Qt's own options
  // (-platform, -style, ...).
  if (const auto early = shell::ParseProgramOptions(ArgumentsOf(argc, argv));
      early.action == shell::ProgramOptions::Action::kShowHelp) {
    std::fputs(early.message.toLocal8Bit().constData(), stdout);
    return 0;
  }
  QApplication application(argc, argv);
  const auto options = shell::ParseProgramOptions(QApplication::arguments());
  switch (options.action) {
    case shell::ProgramOptions::Action::kShowHelp:
      std::fputs(options.message.toLocal8Bit().constData(), stdout);
      return 0;
    case shell::ProgramOptions::Action::kFail:
      std::fprintf(stderr, "zarnik: %s\n", options.message.toLocal8Bit().constData());
      return 2;
    case shell::ProgramOptions::Action::kRun:
      break;
  }
  shell::CTessikApp tessik(options, shell::PortLibraryHooks());
  tessik.InitInstance();
  return QApplication::exec();
}
