// The simulated machine a program runs on with --simulate: the Windows XP version record and
// the virtual printer on the parallel port's driver device "\\.\LPT1", on the USB printing
// support and on the printer maker's USB device (reached through the USB bridge,
// "ForceVOPUSB=1"), installed as the platform backend for the life of the object, so the
// program, its port library and the bridge included, talks to the virtual printer whichever
// "Output" it uses. Its debug output goes where the real machine's goes. With
// ZARNIK_LPT_ACCESS=direct the machine is a Windows 98 one and the printer is on the parallel
// port's registers at 0x378 instead of the driver device.
#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "sim/printer/Ieee1284Printer.h"
#include "sim/printer/VirtualPrinter.h"

namespace simulate {

struct SimulationRequest {
  std::optional<std::filesystem::path> profile;  // --sim-config FILE
  std::optional<std::filesystem::path> trace;    // --sim-trace FILE
  // The settings file whose "Vid" and "Pid" (section System) the printer shows on USB unless
  // the profile sets others.
  std::optional<std::filesystem::path> settings;
  // The files the command reads or writes (a data file): a trace that names one of them, or
  // the settings or the profile, is refused, since opening the trace empties it.
  std::vector<std::filesystem::path> files;
};

class Simulation {
 public:
  // Reads the profile, opens the trace file and installs the machine. On failure returns
  // null with the reason in error.
  static std::unique_ptr<Simulation> Start(const SimulationRequest& request, std::string& error);

  ~Simulation();
  Simulation(const Simulation&) = delete;
  Simulation& operator=(const Simulation&) = delete;

  sim::VirtualPrinter& Printer();
  // The printer's IEEE 1284 interface on the port registers; null unless direct access.
  sim::Ieee1284Printer* RegisterInterface();
  // False once a write to the trace file has failed.
  bool TraceWritten() const;

 private:
  struct Parts;
  explicit Simulation(std::unique_ptr<Parts> parts);
  std::unique_ptr<Parts> parts_;
};

}  // namespace simulate
