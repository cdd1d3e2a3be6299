// What the two printer commands share with the window: the settings file (--settings FILE,
// else the default one), its section "System" loaded into the process-wide port settings,
// the port from "Output" (or --port for this run), the transfer mode and output file, and
// the machine id of section "StartJob".
#pragma once

#include <cstdint>
#include <iosfwd>
#include <optional>

#include "CliUserInterface.h"
#include "Command.h"
#include "JobInterrupts.h"
#include "flashjobs/JobControl.h"
#include "flashjobs/PortTarget.h"
#include "flashtools/FileTools.h"

namespace cli {

struct PrinterRun {
  flashjobs::PortTarget port;
  std::uint8_t machineId = 0xFF;
};

// Null after printing why the run cannot go ahead (settings that cannot be read, a port the
// simulated machine lacks).
std::optional<PrinterRun> PreparePrinterRun(const GlobalOptions& global, std::ostream& err);

// The exit status of a printer command once the procedure has returned, after telling what
// is left to tell: for an interrupted job whether it was closed (and, if the printer was
// writing its flash, that it must not be switched off); for a failure the port library's
// detail below.
int FinishPrinterCommand(flashtools::ToolResult result, const flashjobs::JobControl& control,
                         const JobInterrupts& interrupts, const CliUserInterface& ui,
                         std::ostream& err);

// After a failed printer command: the port library's own text for the call that failed
// ("VopP2Open:CreateFile(PORT_LPT) : failure", ...), unless the tool's message already showed
// it, so that "Transmission Failure" on a terminal says which port call failed and how.
void ShowPortLibraryDetail(const CliUserInterface& ui, std::ostream& err);

}  // namespace cli
