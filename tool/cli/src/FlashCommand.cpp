#include <cstdio>
#include <iostream>
#include <map>
#include <memory>
#include <string>

#include "CliUserInterface.h"
#include "Command.h"
#include "FlashProgress.h"
#include "PrinterRun.h"
#include "Terminal.h"
#include "flashjobs/WriteDataFlashRom.h"
#include "zarnik/Strings.h"

namespace cli {
namespace {

struct FlashArguments {
  std::string file;
  int dataType = flashjobs::kDataTypeDemoPrintData;
  bool yes = false;
};

int RunFlash(const GlobalOptions& global, const FlashArguments& arguments) {
  const auto run = PreparePrinterRun(global, std::cerr);
  if (!run) {
    return kExitToolFailed;
  }
  CliUserInterface cliUi = CliUserInterface::OnStandardStreams();
  FlashProgress progress(std::cout, StandardOutputIsTerminal(), StandardOutputColumns());
  FlashUserInterface ui(cliUi, std::cout, progress, arguments.yes);
  flashjobs::JobControl control;
  progress.Follow(control);
  PollingStatusDisplay display(progress, control);
  std::uint8_t commandNumber = 0;
  const JobInterrupts interrupts(control);
  auto result = flashtools::ToolResult::kFailed;
  {
    // The data stream goes out in one long write; this shows how far it has got meanwhile.
    const StreamMeter meter(progress);
    result = flashjobs::WriteDataFlashRom(
        {arguments.file, arguments.dataType, run->machineId, run->port}, commandNumber, ui, display,
        control);
  }
  progress.EndLine();
  // Said only when End Job went: otherwise the procedure has said that the job is still open.
  if (ui.Declined() && !interrupts.Interrupted() &&
      control.Stage() == flashjobs::JobStage::kClosed) {
    std::cerr << zarnik::text::kError << ": " << zarnik::text::kFlashNotConfirmed << '\n';
  }
  return FinishPrinterCommand(result, control, interrupts, std::cerr);
}

}  // namespace

void RegisterFlashCommand(CLI::App& app, Invocation& invocation) {
  CLI::App* command =
      app.add_subcommand("flash", "Write a data file (.vop) into the printer's data flash ROM.");
  command->footer(
      std::string(
          "Checks FILE against the data type, sends it to the printer inside a job, and follows "
          "the printer's erase, write and verify progress to the end. For firmware and demo "
          "print data the printer's flash size is shown and must be confirmed (--yes, or 'y' at "
          "the prompt); anything else closes the job before the flash is touched. The port and "
          "its settings come from the settings file, as in the window.") +
      "\n\n" + kExitStatusNote);
  auto arguments = std::make_shared<FlashArguments>();
  const std::map<std::string, int> types{{"mask-firmware", flashjobs::kDataTypeMaskRomFirmware},
                                         {"firmware", flashjobs::kDataTypeFirmware},
                                         {"demo", flashjobs::kDataTypeDemoPrintData}};
  command->add_option("FILE", arguments->file, "data file to write")->required();
  command
      ->add_option("--type", arguments->dataType,
                   "data type: mask-firmware (firmware for mask ROM), firmware, demo (demo print "
                   "data)")
      ->required()
      ->transform(CLI::CheckedTransformer(types));
  command->add_flag("--yes,-y", arguments->yes, "confirm the flash size without asking");
  command->callback([&invocation, arguments] {
    invocation.run = [&invocation, arguments] { return RunFlash(invocation.global, *arguments); };
    invocation.outputIsResult = false;
    invocation.files = {arguments->file};
  });
}

}  // namespace cli
