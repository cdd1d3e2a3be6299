// What the two printer commands share with the window: the settings file (--settings FILE,
// else the default one), its section "System" loaded into the process-wide port settings,
// the port from "Output" (or --port for this run), the transfer mode and output file, and
// the machine id of section "StartJob".
#pragma once

#include <cstdint>
#include <iosfwd>
#include <optional>

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

// Null after printing why the run cannot go ahead (settings that cannot be read).
std::optional<PrinterRun> PreparePrinterRun(const GlobalOptions& global, std::ostream& err);

// The exit status of a printer command once the procedure has returned, after telling what
// is left to tell of an interrupted job: whether it was closed (and, if the printer was
// writing its flash, that it must not be switched off).
int FinishPrinterCommand(flashtools::ToolResult result, const flashjobs::JobControl& control,
                         const JobInterrupts& interrupts, std::ostream& err);

}  // namespace cli
