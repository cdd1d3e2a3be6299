// The simulated machine a program runs on with --simulate: the Windows XP version record and
// the virtual printer on the parallel port's driver device "\\.\LPT1" and on the USB printing
// support, installed as the platform backend for the life of the object, so the program, its
// port library included, talks to the virtual printer whichever "Output" it uses.
#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>

#include "sim/printer/VirtualPrinter.h"

namespace simulate {

struct SimulationRequest {
  std::optional<std::filesystem::path> profile;  // --sim-config FILE
  std::optional<std::filesystem::path> trace;    // --sim-trace FILE
  // The settings file whose "Vid" and "Pid" (section System) the printer shows on USB unless
  // the profile sets others.
  std::optional<std::filesystem::path> settings;
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
  // False once a write to the trace file has failed.
  bool TraceWritten() const;

 private:
  struct Parts;
  explicit Simulation(std::unique_ptr<Parts> parts);
  std::unique_ptr<Parts> parts_;
};

}  // namespace simulate
