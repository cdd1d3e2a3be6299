#include <iostream>
#include <string>

#include "CliUserInterface.h"
#include "Command.h"
#include "PrinterRun.h"
#include "flashjobs/GetVersion.h"

namespace cli {

void RegisterVersionCommand(CLI::App& app, Invocation& invocation) {
  CLI::App* command = app.add_subcommand(
      "version", "Ask the printer for its controller and engine firmware versions.");
  command->footer(
      std::string("Runs one job of Start Job, three status requests and End Job on the port of "
                  "the settings file, and prints both versions.") +
      "\n\n" + kExitStatusNote);
  command->callback([&invocation] {
    invocation.run = [&invocation] {
      const auto run = PreparePrinterRun(invocation.global, std::cerr);
      if (!run) {
        return kExitToolFailed;
      }
      CliUserInterface ui = CliUserInterface::OnStandardStreams();
      std::uint8_t commandNumber = 0;
      flashjobs::JobControl control;
      const JobInterrupts interrupts(control);
      const auto result = flashjobs::GetVersion(run->machineId, run->port, commandNumber, ui,
                                                flashjobs::SleepOnThisThread, control);
      return FinishPrinterCommand(result, control, interrupts, std::cerr);
    };
  });
}

}  // namespace cli
