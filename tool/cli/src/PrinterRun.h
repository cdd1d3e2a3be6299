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
#include "flashjobs/PortTarget.h"

namespace cli {

struct PrinterRun {
  flashjobs::PortTarget port;
  std::uint8_t machineId = 0xFF;
};

PrinterRun PreparePrinterRun(const GlobalOptions& global);

// After a failed printer command: the port library's own text for the call that failed
// ("VopP2Open:CreateFile(PORT_LPT) : failure", ...), unless the tool's message already showed
// it, so that "Transmission Failure" on a terminal says which port call failed and how.
void ShowPortLibraryDetail(const CliUserInterface& ui, std::ostream& err);

}  // namespace cli
