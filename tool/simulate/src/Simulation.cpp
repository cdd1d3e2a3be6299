#include "simulate/Simulation.h"

#include <fstream>

#include "RegisterPrinter.h"
#include "TracingDevice.h"
#include "settings/HexText.h"
#include "settings/ProfileFile.h"
#include "sim/Machine.h"
#include "sim/MakerUsbDevice.h"
#include "sim/PacedLink.h"
#include "sim/UsbPrinterSlot.h"
#include "sim/VersionRecords.h"
#include "sim/printer/PrinterOnLptDriver.h"
#include "sim/printer/PrinterOnMakerUsb.h"
#include "sim/printer/PrinterOnUsbPrintSupport.h"
#include "simulate/PrinterProfile.h"

namespace simulate {

namespace {

constexpr std::size_t kIdTextLength = 255;

// The ids the printer shows on USB: the profile's, else the settings file's "Vid" and "Pid".
sim::UsbIdentity UsbIdentityOf(const ProfileResult& profile,
                               const std::optional<std::filesystem::path>& settingsFile) {
  sim::UsbIdentity identity;
  if (settingsFile) {
    const settings::ProfileFile file(*settingsFile);
    identity.vendorId =
        settings::ParseHex4(file.ReadString("System", "Vid", "0000", kIdTextLength));
    identity.productId =
        settings::ParseHex4(file.ReadString("System", "Pid", "0000", kIdTextLength));
  }
  identity.vendorId = profile.usbVendorId.value_or(identity.vendorId);
  identity.productId = profile.usbProductId.value_or(identity.productId);
  return identity;
}

// The path from the root with its links and dots resolved, as far as it exists.
std::filesystem::path FullName(const std::filesystem::path& path, std::error_code& error) {
  const std::filesystem::path absolute = std::filesystem::absolute(path, error);
  return error ? absolute : std::filesystem::weakly_canonical(absolute, error);
}

// A file the run reads or makes that the trace names too (by another spelling or a link as
// well): opening the trace would empty it first.
std::optional<std::filesystem::path> FileTheTraceNames(const SimulationRequest& request) {
  std::vector<std::filesystem::path> named = request.files;
  for (const auto& file : {request.settings, request.profile}) {
    if (file) {
      named.push_back(*file);
    }
  }
  std::error_code traceError;
  const std::filesystem::path trace = FullName(*request.trace, traceError);
  for (const std::filesystem::path& file : named) {
    std::error_code error;
    if (std::filesystem::equivalent(*request.trace, file, error)) {
      return file;
    }
    // A file the run makes later (a new settings file) is not there to compare: its name is.
    const std::filesystem::path path = FullName(file, error);
    if (!traceError && !error && path == trace) {
      return file;
    }
  }
  return std::nullopt;
}

}  // namespace

struct Simulation::Parts {
  sim::Machine machine;
  std::shared_ptr<sim::VirtualPrinter> printer;
  std::shared_ptr<PrinterTrace> trace;
  RegisterPrinter registers;  // with direct register access only
  std::unique_ptr<sim::ScopedInstall> install;
};

std::unique_ptr<Simulation> Simulation::Start(const SimulationRequest& request,
                                              std::string& error) {
  ProfileResult profile;
  if (request.profile) {
    profile = ReadPrinterProfile(*request.profile);
    if (!profile.error.empty()) {
      error = profile.error;
      return nullptr;
    }
  }
  std::unique_ptr<std::ofstream> trace;
  if (request.trace) {
    if (const auto clash = FileTheTraceNames(request)) {
      const std::string otherName =
          *clash == *request.trace ? "" : " (named " + clash->string() + ")";
      error = "the trace file " + request.trace->string() + " is a file this run uses" + otherName +
              ": name another file for the trace";
      return nullptr;
    }
    trace = std::make_unique<std::ofstream>(*request.trace, std::ios::binary | std::ios::trunc);
    if (!*trace) {
      error = "cannot write the trace file " + request.trace->string();
      return nullptr;
    }
  }
  auto parts = std::make_unique<Parts>();
  parts->machine.SetVersion(sim::WindowsXp());
  parts->printer = std::make_shared<sim::VirtualPrinter>(profile.config);
  parts->trace = std::make_shared<PrinterTrace>(std::move(trace));
  // Each link of the printer: traced, and paced when the profile gives the link a speed.
  const auto link = [&parts, &profile](std::shared_ptr<sim::Device> device) {
    std::shared_ptr<sim::Device> traced =
        std::make_shared<TracingDevice>(std::move(device), parts->trace);
    if (profile.linkSpeed == 0) {
      return traced;
    }
    return std::shared_ptr<sim::Device>(
        std::make_shared<sim::PacedLink>(std::move(traced), profile.linkSpeed));
  };
  auto lpt = link(std::make_shared<sim::PrinterOnLptDriver>(parts->printer));
  if (DirectRegisterAccessAsked()) {
    parts->registers = PutPrinterOnRegisters(parts->machine, lpt);
  } else {
    parts->machine.AttachDevice(R"(\\.\LPT1)", lpt);
  }
  const sim::UsbIdentity identity = UsbIdentityOf(profile, request.settings);
  sim::PlugUsbPrinter(parts->machine, identity,
                      link(std::make_shared<sim::PrinterOnUsbPrintSupport>(parts->printer)));
  // The printer behind the bridge has the same ids, unless none are set.
  const bool idsSet = identity.vendorId != 0 || identity.productId != 0;
  const sim::PrinterOnMakerUsb bridgeDevice(
      parts->printer, idsSet ? identity.vendorId : sim::PrinterOnMakerUsb::kVendorId,
      idsSet ? identity.productId : sim::PrinterOnMakerUsb::kProductId);
  sim::AttachMakerUsbDevice(parts->machine, bridgeDevice.DevicePath(), bridgeDevice.Node(),
                            {link(bridgeDevice.Pipe(sim::PrinterOnMakerUsb::kWritePipe)),
                             bridgeDevice.Pipe(sim::PrinterOnMakerUsb::kReadPipe)});
  parts->machine.ForwardDebugOutput(true);
  if (!profile.printQueue.empty()) {
    // The spooler's record of a queue printing to the first parallel port.
    parts->machine.registry().SetMultiString(R"(System\CurrentControlSet\Control\Print\Printers\)" +
                                                 profile.printQueue + R"(\DsSpooler)",
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

}  // namespace simulate
