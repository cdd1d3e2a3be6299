#include <iostream>
#include <memory>
#include <string>

#include "CliUserInterface.h"
#include "Command.h"

namespace cli {

void RegisterCheckCommand(CLI::App& app, Invocation& invocation) {
  CLI::App* command =
      app.add_subcommand("check", "Check a data file (.vop) and report its header.");
  command->footer(
      std::string(
          "Verifies the \"VDL1\" signature, that the file holds the payload its header announces "
          "and the sum byte after it, and the sum. On success prints the data type, target code, "
          "idents, payload length and load parameter.") +
      "\n\n" + kExitStatusNote);
  auto file = std::make_shared<std::string>();
  command->add_option("FILE", *file, "data file to check")->required();
  command->callback([&invocation, file] {
    invocation.files = {*file};
    invocation.run = [file] {
      CliUserInterface ui = CliUserInterface::OnStandardStreams();
      return ExitStatusOf(flashtools::CheckFileFormat(*file, ui));
    };
  });
}

}  // namespace cli
