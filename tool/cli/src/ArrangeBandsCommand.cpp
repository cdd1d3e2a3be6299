#include <iostream>
#include <memory>
#include <string>

#include "CliUserInterface.h"
#include "Command.h"

namespace cli {

void RegisterArrangeBandsCommand(CLI::App& app, Invocation& invocation) {
  CLI::App* command = app.add_subcommand(
      "arrange-bands", "Merge the bands of each colour plane in a print-data stream.");
  command->footer(
      std::string(
          "Each run of Send Band frames of one plane becomes one Send Band with all their data, "
          "page band counts become the number of planes, and the frames are renumbered. INPUT "
          "and OUTPUT may be the same file; OUTPUT is replaced only when the whole stream was "
          "arranged.") +
      "\n\n" + kExitStatusNote);
  auto input = std::make_shared<std::string>();
  auto output = std::make_shared<std::string>();
  command->add_option("INPUT", *input, "print-data stream to read")->required();
  command->add_option("OUTPUT", *output, "arranged stream to create or replace")->required();
  command->callback([&invocation, input, output] {
    invocation.files = {*input, *output};
    invocation.run = [input, output] {
      CliUserInterface ui = CliUserInterface::OnStandardStreams();
      return ExitStatusOf(flashtools::ArrangeBands(*input, *output, ui));
    };
  });
}

}  // namespace cli
