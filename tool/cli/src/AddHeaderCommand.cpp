#include <iostream>
#include <memory>
#include <string>

#include "CliUserInterface.h"
#include "Command.h"

namespace cli {

void RegisterAddHeaderCommand(CLI::App& app, Invocation& invocation) {
  CLI::App* command =
      app.add_subcommand("add-header", "Wrap a file into a demo print data file (.vop).");
  command->footer(
      std::string(
          "Puts the 256-byte header in front of INPUT and the sum byte behind it. INPUT and OUTPUT "
          "may be the same file; OUTPUT is replaced only when the new data file is complete.") +
      "\n\n" + kExitStatusNote);
  auto input = std::make_shared<std::string>();
  auto output = std::make_shared<std::string>();
  command->add_option("INPUT", *input, "file to wrap")->required();
  command->add_option("OUTPUT", *output, "data file to create or replace")->required();
  command->callback([&invocation, input, output] {
    invocation.files = {*input, *output};
    invocation.run = [input, output] {
      CliUserInterface ui = CliUserInterface::OnStandardStreams();
      return ExitStatusOf(flashtools::AddHeader(*input, *output, ui));
    };
  });
}

}  // namespace cli
