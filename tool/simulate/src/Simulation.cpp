#include "simulate/Simulation.h"

#include <fstream>

#include "RegisterPrinter.h"
#include "TracingDevice.h"
#include "sim/Machine.h"
#include "sim/MakerUsbDevice.h"
#include "sim/VersionRecords.h"
#include "sim/printer/PrinterOnLptDriver.h"
#include "sim/printer/PrinterOnMakerUsb.h"
#include "simulate/PrinterProfile.h"

namespace simulate {

struct Simulation::Parts {
  sim::Machine machine;
  std::shared_ptr<sim::VirtualPrinter> printer;
  std::shared_ptr<PrinterTrace> trace;
  RegisterPrinter registers;  // with direct register access only
  std::unique_ptr<sim::ScopedInstall> install;
};

std::unique_ptr<Simulation> Simulation::Start(const SimulationRequest& request,
                                              std::string& error) {
  sim::PrinterConfig config;
  std::string printQueue;
  if (request.profile) {
    ProfileResult profile = ReadPrinterProfile(*request.profile);
    if (!profile.error.empty()) {
      error = profile.error;
      return nullptr;
    }
    config = std::move(profile.config);
    printQueue = std::move(profile.printQueue);
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
  parts->trace = std::make_shared<PrinterTrace>(std::move(trace));
  auto lpt = std::make_shared<TracingDevice>(
      std::make_shared<sim::PrinterOnLptDriver>(parts->printer), parts->trace);
  if (DirectRegisterAccessAsked()) {
    parts->registers = PutPrinterOnRegisters(parts->machine, lpt);
  } else {
    parts->machine.AttachDevice(R"(\\.\LPT1)", lpt);
  }
  const sim::PrinterOnMakerUsb usb(parts->printer);
  sim::AttachMakerUsbDevice(
      parts->machine, usb.DevicePath(), usb.Node(),
      {std::make_shared<TracingDevice>(usb.Pipe(sim::PrinterOnMakerUsb::kWritePipe), parts->trace),
       usb.Pipe(sim::PrinterOnMakerUsb::kReadPipe)});
  parts->machine.ForwardDebugOutput(true);
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
  return parts_->trace->Written();
}

std::int32_t SimulatedPortKind(std::int32_t portKind, bool usbThroughBridge) {
  return portKind == kUsbPortKind && !usbThroughBridge ? kSimulatedPortKind : portKind;
}

}  // namespace simulate
