#include "window/ProgramOptions.h"

#include <QCommandLineParser>
#include <QFileInfo>

#include "window/QtText.h"
#include "zarnik/Strings.h"

namespace shell {

ProgramOptions ParseProgramOptions(const QStringList& arguments) {
  QCommandLineParser parser;
  parser.setApplicationDescription(ToQString(zarnik::LoadString(zarnik::StringId::kMainTitle)));
  // Qt's own help option would promise a list of Qt's options under --help-all, which Qt gives
  // only with an application object, and so a display. Help is answered without one, so the
  // help names Qt's options in a line of its own and --help-all is the same help.
  const QCommandLineOption help({"h", "help"}, "Displays help on commandline options.");
  QCommandLineOption helpAll("help-all");
  helpAll.setFlags(QCommandLineOption::HiddenFromHelp);
  const QCommandLineOption versionOption(
      "version", "Print the program's and the port library's versions and exit.");
  const QCommandLineOption settingsOption(
      "settings", "Use FILE as the settings file instead of zarnik.INI.", "FILE");
  const QCommandLineOption noSplashOption("no-splash", "Start without the start-up picture.");
  const QCommandLineOption simulateOption(
      "simulate", "Run on the simulated machine with the virtual printer on LPT1: and USB.");
  const QCommandLineOption simConfigOption(
      "sim-config", "Read the virtual printer's behaviour from section Printer of FILE.", "FILE");
  const QCommandLineOption simTraceOption(
      "sim-trace", "Write every byte the virtual printer took into FILE.", "FILE");
  QCommandLineOption screenshotOption(
      "screenshot-dir", "Save pictures of the window and its dialogs into DIR.", "DIR");
  screenshotOption.setFlags(QCommandLineOption::HiddenFromHelp);
  parser.addOptions({help, helpAll, versionOption, settingsOption, noSplashOption, simulateOption,
                     simConfigOption, simTraceOption, screenshotOption});

  ProgramOptions options;
  if (!parser.parse(arguments)) {
    options.action = ProgramOptions::Action::kFail;
    options.message = parser.errorText();
    return options;
  }
  if (parser.isSet(help) || parser.isSet(helpAll)) {
    options.action = ProgramOptions::Action::kShowHelp;
    options.message =
        parser.helpText() +
        "\nAlso takes Qt's own options, e.g. -platform offscreen (see Qt's documentation).\n";
    // Without an application object Qt cannot know the program's name.
    options.message.replace("<executable_name>", QFileInfo(arguments.value(0)).fileName());
    return options;
  }
  if (parser.isSet(versionOption)) {
    options.action = ProgramOptions::Action::kShowVersion;
    return options;
  }
  if (!parser.positionalArguments().isEmpty()) {
    options.action = ProgramOptions::Action::kFail;
    options.message = "Unexpected argument: " + parser.positionalArguments().front();
    return options;
  }
  if (parser.isSet(settingsOption)) {
    options.settingsFile = ToPath(parser.value(settingsOption));
  }
  options.showSplash = !parser.isSet(noSplashOption);
  options.simulate = parser.isSet(simulateOption);
  if (!options.simulate && (parser.isSet(simConfigOption) || parser.isSet(simTraceOption))) {
    options.action = ProgramOptions::Action::kFail;
    options.message = "--sim-config and --sim-trace need --simulate";
    return options;
  }
  if (parser.isSet(simConfigOption)) {
    options.simConfig = ToPath(parser.value(simConfigOption));
  }
  if (parser.isSet(simTraceOption)) {
    options.simTrace = ToPath(parser.value(simTraceOption));
  }
  if (parser.isSet(screenshotOption)) {
    options.screenshotDir = ToPath(parser.value(screenshotOption));
  }
  return options;
}

}  // namespace shell
