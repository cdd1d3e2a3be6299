// zarnik: the window program.
#include <QApplication>
#include <cstdio>

#include "window/CTessikApp.h"
#include "window/PortLibraryHooks.h"
#include "window/ProgramOptions.h"

int main(int argc, char* argv[]) {
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
