// zarnik-cli: the tool's procedures for scripts and service benches. Options that apply to
// every command may come before or after the command name; each command registers itself
// from its own file (see Command.h).
#include <array>
#include <cstdio>
#include <exception>
#include <filesystem>
#include <iostream>
#include <memory>
#include <optional>
#include <string>

#include "Command.h"
#include "channel/VersionReport.h"
#include "cleanup/RemoveOnSignal.h"
#include "settings/SettingsLocation.h"
#include "settings/UnsavedSettings.h"
#include "simulate/PrinterProfile.h"
#include "simulate/Simulation.h"

namespace {

void AddGlobalOptions(CLI::App& app, cli::GlobalOptions& global) {
  app.add_option("--settings", global.settingsFile,
                 "settings file to use instead of the usual zarnik.INI (named below)");
  app.add_option("--port", global.port,
                 "port for this run instead of the settings file's Output (not saved)")
      ->check(CLI::IsMember({"lpt", "usb"}));
  CLI::Option* simulate =
      app.add_flag("--simulate", global.simulate,
                   "run on the simulated machine with the virtual printer on LPT1: and USB");
  std::string profileKeys;
  for (const auto& key : simulate::PrinterProfileKeys()) {
    profileKeys.append(profileKeys.empty() ? "" : ", ").append(key);
  }
  app.add_option("--sim-config", global.simConfig,
                 "virtual printer profile, section Printer: " + profileKeys)
      ->needs(simulate);
  app.add_option("--sim-trace", global.simTrace,
                 "file that receives every byte the virtual printer took, in order")
      ->needs(simulate);
}

// People type the global options after the command too ("flash FILE --type demo --simulate"):
// an option a command does not know goes on to the global ones.
void AcceptGlobalOptionsAfterCommands(CLI::App& app) {
  for (CLI::App* command : app.get_subcommands({})) {
    command->fallthrough();
  }
}

// Runs the chosen command; settings it could not save are told once, after it.
int RunAndTellUnsavedSettings(const cli::Invocation& invocation) {
  const int status = invocation.run();
  if (const auto failure = settings::TakeUntoldUnsavedSettings()) {
    std::cerr << "Warning: " << settings::DescribeUnsavedSettings(*failure) << '\n';
  }
  return status;
}

// Runs the chosen command, on the simulated machine when asked to.
int RunCommand(const cli::Invocation& invocation) {
  const cli::GlobalOptions& global = invocation.global;
  if (!global.simulate) {
    return RunAndTellUnsavedSettings(invocation);
  }
  simulate::SimulationRequest request;
  if (global.simConfig) {
    request.profile = *global.simConfig;
  }
  if (global.simTrace) {
    request.trace = *global.simTrace;
  }
  std::optional<std::filesystem::path> named;
  if (global.settingsFile) {
    named = *global.settingsFile;
  }
  request.settings = settings::ChosenSettingsFile(named);
  request.files = invocation.files;
  std::string error;
  const auto simulation = simulate::Simulation::Start(request, error);
  if (!simulation) {
    std::cerr << "Error: " << error << '\n';
    return cli::kExitUsage;
  }
  const int status = RunAndTellUnsavedSettings(invocation);
  if (!simulation->TraceWritten()) {
    std::cerr << "Error: cannot write the trace file " << *global.simTrace << '\n';
    return cli::kExitToolFailed;
  }
  return status;
}

// Output that could not be written in full (a full disk, a reader that went away) fails a
// command whose output is its result: a script would otherwise take an empty or cut result for
// the real one. A flash job's output is its progress; its status stays the job's.
int WithOutputWritten(int status, const cli::Invocation& invocation) {
  if (std::fflush(stdout) == 0 && std::ferror(stdout) == 0) {
    return status;
  }
  if (!invocation.outputIsResult) {
    std::cerr << "Warning: the output could not be written in full; the exit status is the "
                 "job's.\n";
    return status;
  }
  std::cerr << "Error: the output could not be written in full.\n";
  return status == cli::kExitSucceeded ? cli::kExitToolFailed : status;
}

int Run(int argc, char** argv) {
  cli::Invocation invocation;
  CLI::App app("Zarnik command line: check, make and write the printer's data files.",
               "zarnik-cli");
  app.footer(std::string(cli::kExitStatusNote) +
             "\nGlobal options may come before or after the command. Run 'zarnik-cli COMMAND "
             "--help' for the arguments of a command.");
  app.require_subcommand(1);
  // Named with the options given before --help, so "--settings FILE --help" shows FILE.
  app.footer([&invocation] {
    std::optional<std::filesystem::path> named;
    if (invocation.global.settingsFile) {
      named = *invocation.global.settingsFile;
    }
    return settings::DescribeSettingsFile(settings::LocateSettingsFile(named));
  });

  AddGlobalOptions(app, invocation.global);
  app.set_version_flag(
      "--version", [] { return channel::VersionReport("zarnik-cli"); },
      "print the program's and the port library's versions and exit");
  constexpr std::array<cli::CommandRegistration, 6> kCommands{
      cli::RegisterCheckCommand, cli::RegisterAddHeaderCommand, cli::RegisterArrangeBandsCommand,
      cli::RegisterFlashCommand, cli::RegisterVersionCommand,   cli::RegisterListCommand};
  for (const cli::CommandRegistration registration : kCommands) {
    registration(app, invocation);
  }
  AcceptGlobalOptionsAfterCommands(app);

  try {
    app.parse(argc, argv);
  } catch (const CLI::ParseError& error) {
    const int status = app.exit(error);
    return WithOutputWritten(status == 0 ? cli::kExitSucceeded : cli::kExitUsage, invocation);
  }
  return WithOutputWritten(RunCommand(invocation), invocation);
}

}  // namespace

int main(int argc, char** argv) {
  cleanup::InstallSignalCleanup();
  try {
    return Run(argc, argv);
  } catch (const std::exception& error) {
    std::cerr << "Error: " << error.what() << '\n';
  } catch (...) {
    std::cerr << "Error: unexpected failure\n";
  }
  return cli::kExitToolFailed;
}
