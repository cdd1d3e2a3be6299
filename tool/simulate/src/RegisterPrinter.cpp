#include "RegisterPrinter.h"

#include <cstdlib>
#include <string_view>

#include "sim/VersionRecords.h"

namespace simulate {

bool DirectRegisterAccessAsked() {
  const char* access = std::getenv("ZARNIK_LPT_ACCESS");
  return access != nullptr && std::string_view(access) == "direct";
}

RegisterPrinter PutPrinterOnRegisters(sim::Machine& machine, std::shared_ptr<sim::Device> printer) {
  RegisterPrinter parts;
  machine.SetVersion(sim::Windows98());
  machine.SetClockStepPerReading(1);
  parts.chip = std::make_shared<sim::ParallelPortChip>();
  parts.interface = std::make_shared<sim::Ieee1284Printer>(
      std::move(printer), [&machine] { return machine.NowMilliseconds(); });
  parts.chip->Connect(parts.interface);
  machine.AttachPortRegisters(parts.chip);
  return parts;
}

}  // namespace simulate
