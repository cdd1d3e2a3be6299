// zarnik-cli: the tool's procedures for scripts and service benches. Options that apply to
// every command come before the command name; each command registers itself from its own
// file (see Command.h).
#include <array>
#include <exception>
#include <iostream>
#include <string>

#include "Command.h"

namespace {

int Run(int argc, char** argv) {
  CLI::App app("Zarnik command line: check, make and rewrite the printer's data files.",
               "zarnik-cli");
  app.footer(std::string(cli::kExitStatusNote) +
             "\nRun 'zarnik-cli COMMAND --help' for the arguments of a command.");
  app.require_subcommand(1);

  cli::Invocation invocation;
  constexpr std::array<cli::CommandRegistration, 3> kCommands{
      cli::RegisterCheckCommand, cli::RegisterAddHeaderCommand, cli::RegisterArrangeBandsCommand};
  for (const cli::CommandRegistration registration : kCommands) {
    registration(app, invocation);
  }

  try {
    app.parse(argc, argv);
  } catch (const CLI::ParseError& error) {
    const int status = app.exit(error);
    return status == 0 ? cli::kExitSucceeded : cli::kExitUsage;
  }
  return invocation.run();
}

}  // namespace

int main(int argc, char** argv) {
  try {
    return Run(argc, argv);
  } catch (const std::exception& error) {
    std::cerr << "Error: " << error.what() << '\n';
  } catch (...) {
    std::cerr << "Error: unexpected failure\n";
  }
  return cli::kExitToolFailed;
}
