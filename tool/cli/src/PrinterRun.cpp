#include "PrinterRun.h"

#include <ostream>
#include <string>

#include "channel/SystemSettings.h"
#include "channel/VersionReport.h"
#include "settings/HexText.h"
#include "settings/SettingsLocation.h"
#include "settings/UnsavedSettings.h"
#include "zarnik/FilledText.h"
#include "zarnik/Strings.h"

namespace cli {
namespace {

constexpr std::int32_t kLptPortKind = 1;
constexpr std::int32_t kUsbPortKind = 3;
constexpr std::int32_t kNoPort = 255;

// "Output" 0 ("LPT1:") is the parallel port, 1 ("USB") is USB; other values name no port.
std::int32_t PortKindOfOutput(std::int32_t output) {
  switch (output) {
    case 0:
      return kLptPortKind;
    case 1:
      return kUsbPortKind;
    default:
      return kNoPort;
  }
}

}  // namespace

std::optional<PrinterRun> PreparePrinterRun(const GlobalOptions& global, std::ostream& err) {
  std::optional<std::filesystem::path> named;
  if (global.settingsFile) {
    named = *global.settingsFile;
  }
  const settings::ProfileFile file(settings::ChosenSettingsFile(named));
  if (const auto unreadable = file.Load()) {
    err << "Error: " << settings::DescribeUnreadableSettings(*unreadable) << '\n';
    return std::nullopt;
  }
  // A port library of another version may lay out its settings or replies differently.
  if (!channel::PortLibraryVersionMatches()) {
    err << "Error: " << zarnik::text::kVersionIncorrect << '\n';
    return std::nullopt;
  }
  const channel::PanelSettings panel =
      channel::LoadSystemSettings(file, channel::ProcessPortSettings());

  PrinterRun run;
  run.port.portKind = PortKindOfOutput(panel.output);
  if (global.port) {
    run.port.portKind = *global.port == "usb" ? kUsbPortKind : kLptPortKind;
  }
  // The library would only fail on such a port kind, with nothing to say why.
  if (run.port.portKind == kNoPort) {
    err << "Error: "
        << zarnik::FilledText(zarnik::text::kOutputNamesNoPort, {std::to_string(panel.output)})
        << '\n';
    return std::nullopt;
  }
  run.port.transferMode = panel.mode;
  run.port.outputFile = panel.outputFile;
  run.machineId = settings::ReadMachineId(file);
  return run;
}

int FinishPrinterCommand(flashtools::ToolResult result, const flashjobs::JobControl& control,
                         const JobInterrupts& interrupts, std::ostream& err) {
  using flashjobs::JobStage;
  if (result == flashtools::ToolResult::kSucceeded) {
    return kExitSucceeded;
  }
  if (!interrupts.Interrupted()) {
    if (control.FlashUnfinished()) {
      err << zarnik::text::kFlashMayBeIncomplete << '\n';
    }
    return kExitToolFailed;
  }
  const bool interruptedWhileFlashing = interrupts.StageAtFirst() == JobStage::kFlashing;
  // A job that could not be closed has been reported by the procedure itself.
  if (control.Stage() == JobStage::kClosed) {
    err << zarnik::text::kInterruptedJobClosed << '\n';
    if (interruptedWhileFlashing) {
      err << zarnik::text::kFlashMayBeWriting << '\n';
    }
  }
  // The flash write had failed already when the interrupt came (while End Job went).
  if (!interruptedWhileFlashing && control.FlashUnfinished()) {
    err << zarnik::text::kFlashMayBeIncomplete << '\n';
  }
  return kExitInterrupted;
}

}  // namespace cli
