#include "simulate/Simulation.h"

#include <fstream>

#include "RegisterPrinter.h"
#include "TracingLptDevice.h"
#include "sim/Machine.h"
#include "sim/PacedLink.h"
#include "sim/VersionRecords.h"
#include "simulate/PrinterProfile.h"

namespace simulate {

struct Simulation::Parts {
  sim::Machine machine;
  std::shared_ptr<sim::VirtualPrinter> printer;
  std::shared_ptr<TracingLptDevice> device;
  RegisterPrinter registers;  // with direct register access only
  std::unique_ptr<sim::ScopedInstall> install;
};

std::unique_ptr<Simulation> Simulation::Start(const SimulationRequest& request,
                                              std::string& error) {
  sim::PrinterConfig config;
  std::string printQueue;
  std::uint32_t linkSpeed = 0;
  if (request.profile) {
    ProfileResult profile = ReadPrinterProfile(*request.profile);
    if (!profile.error.empty()) {
      error = profile.error;
      return nullptr;
    }
    config = std::move(profile.config);
    printQueue = std::move(profile.printQueue);
    linkSpeed = profile.linkSpeed;
  }
  std::unique_ptr<std::ofstream> trace;
  if (request.trace) {
    trace = std::make_unique<std::ofstream>(*request.trace, std::ios::binary | std::ios::trunc);
    if (!*trace) {
      error = "cannot write the trace file " + request.trace->string();
      return nullptr;
    }
  }
  auto parts = std::make_unique<Parts>();
  parts->machine.SetVersion(sim::WindowsXp());
  parts->printer = std::make_shared<sim::VirtualPrinter>(std::move(config));
  parts->device = std::make_shared<TracingLptDevice>(parts->printer, std::move(trace));
  std::shared_ptr<sim::Device> link = parts->device;
  if (linkSpeed > 0) {
    link = std::make_shared<sim::PacedLink>(link, linkSpeed);
  }
  if (DirectRegisterAccessAsked()) {
    parts->registers = PutPrinterOnRegisters(parts->machine, link);
  } else {
    parts->machine.AttachDevice(R"(\\.\LPT1)", link);
  }
  if (!printQueue.empty()) {
    // The spooler's record of a queue printing to the first parallel port.
    parts->machine.registry().SetMultiString(
        R"(System\CurrentControlSet\Control\Print\Printers\)" + printQueue + R"(\DsSpooler)",
        "portName", {"LPT1:"});
  }
  parts->install = std::make_unique<sim::ScopedInstall>(parts->machine);
  return std::unique_ptr<Simulation>(new Simulation(std::move(parts)));
}

Simulation::Simulation(std::unique_ptr<Parts> parts) : parts_(std::move(parts)) {}

Simulation::~Simulation() = default;

sim::VirtualPrinter& Simulation::Printer() {
  return *parts_->printer;
}

sim::Ieee1284Printer* Simulation::RegisterInterface() {
  return parts_->registers.interface.get();
}

bool Simulation::TraceWritten() const {
  return parts_->device->TraceWritten();
}

std::int32_t SimulatedPortKind(std::int32_t portKind) {
  return portKind == kUsbPortKind ? kSimulatedPortKind : portKind;
}

}  // namespace simulate
