// The virtual printer on the simulated machine's parallel-port registers instead of the
// driver device, for ZARNIK_LPT_ACCESS=direct: the port library then sees Windows 98 and
// drives the port chip itself, and the printer answers through its IEEE 1284 interface.
#pragma once

#include <memory>

#include "sim/Machine.h"
#include "sim/ParallelPortChip.h"
#include "sim/printer/Ieee1284Printer.h"

namespace simulate {

// True when ZARNIK_LPT_ACCESS=direct asks for direct register access.
bool DirectRegisterAccessAsked();

struct RegisterPrinter {
  std::shared_ptr<sim::ParallelPortChip> chip;
  std::shared_ptr<sim::Ieee1284Printer> interface;
};

// Gives the machine the Windows 98 record and the port chip at 0x378 with printer behind
// its IEEE 1284 interface. Its clock moves 1 ms with every reading, so that a write's
// busy-wait clock sees a stalled printer's seconds pass.
RegisterPrinter PutPrinterOnRegisters(sim::Machine& machine, std::shared_ptr<sim::Device> printer);

}  // namespace simulate
