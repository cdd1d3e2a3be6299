// What the two printer commands share with the window: the settings file (--settings FILE,
// else the default one), its section "System" loaded into the process-wide port settings,
// the port from "Output" (or --port for this run), the transfer mode and output file, and
// the machine id of section "StartJob".
#pragma once

#include <cstdint>
#include <iosfwd>
#include <optional>

#include "Command.h"
#include "flashjobs/PortTarget.h"

namespace cli {

struct PrinterRun {
  flashjobs::PortTarget port;
  std::uint8_t machineId = 0xFF;
};

// Null after printing why the run cannot go ahead (a port the simulated machine lacks).
std::optional<PrinterRun> PreparePrinterRun(const GlobalOptions& global, std::ostream& err);

}  // namespace cli
