#include "linux/ParportLocation.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <vector>

namespace platform::linux_backend {
namespace {

constexpr std::uint16_t kEcpOffset = 0x400;

std::string Hex(unsigned value) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%x", value);
  return text;
}

// The port's two I/O bases as the kernel lists them ("888\t1912"); 0 where there is none.
void ReadBases(const std::filesystem::path& procDir, unsigned& base, unsigned& high) {
  base = 0;
  high = 0;
  std::ifstream(procDir / "base-addr") >> base >> high;
}

}  // namespace

std::optional<ParportLocation> LocateParport(std::uint16_t base, const std::string& procRoot,
                                             const std::string& devRoot, FailureReason& reason) {
  namespace fs = std::filesystem;
  const char* named = std::getenv("ZARNIK_PARPORT");
  if (named != nullptr && *named != '\0') {
    ParportLocation location{named, procRoot + "/" + fs::path(named).filename().string(),
                             static_cast<std::uint16_t>(base + kEcpOffset)};
    unsigned listed = 0;
    unsigned high = 0;
    ReadBases(location.procDir, listed, high);
    if (high != 0) {
      location.ecrBase = static_cast<std::uint16_t>(high);
    }
    return location;
  }
  std::error_code error;
  if (!fs::is_directory(procRoot, error)) {
    reason = {FailureKind::kAccessMethod, "The parallel port",
              "The kernel's parallel-port driver is not loaded: load it with 'sudo modprobe "
              "parport_pc ppdev' (or name the port's device in ZARNIK_PARPORT)."};
    return std::nullopt;
  }
  std::vector<fs::path> ports;
  for (const auto& entry : fs::directory_iterator(procRoot, error)) {
    ports.push_back(entry.path());
  }
  std::sort(ports.begin(), ports.end());
  std::string found;
  for (const fs::path& procDir : ports) {
    unsigned listed = 0;
    unsigned high = 0;
    ReadBases(procDir, listed, high);
    const std::string name = procDir.filename().string();
    if (listed == base) {
      return ParportLocation{(fs::path(devRoot) / name).string(), procDir.string(),
                             static_cast<std::uint16_t>(high != 0 ? high : base + kEcpOffset)};
    }
    found.append(found.empty() ? "" : ", ").append(name).append(" at ").append(Hex(listed));
  }
  reason = {FailureKind::kNotFound, "The parallel port at I/O address " + Hex(base),
            "The system's parallel ports: " + (found.empty() ? std::string("none") : found) +
                ". Name the port to use in ZARNIK_PARPORT, e.g. ZARNIK_PARPORT=/dev/parport0."};
  return std::nullopt;
}

std::string ActiveParportDevice(const std::string& procDir) {
  std::string active;
  std::ifstream(procDir + "/devices/active") >> active;
  return active == "none" ? std::string() : active;
}

std::string RawAccessRefusal(int error, const std::string& lockdown) {
  const bool lockedDown = !lockdown.empty() && lockdown.find("[none]") == std::string::npos;
  if (lockedDown) {
    return "The kernel is locked down (" + lockdown.substr(0, lockdown.find('\n')) +
           "), which forbids raw port access to the port's ECP registers; Secure Boot often "
           "turns this on. Use Mode 0 (Standard), which needs ppdev only, or boot without "
           "lockdown.";
  }
  if (error == EPERM || error == EACCES) {
    // Not a file capability: a program given one loses the run path to its own libraries.
    return "Raw port access to the port's ECP registers needs the CAP_SYS_RAWIO capability: "
           "run as root. Mode 0 (Standard) needs ppdev only.";
  }
  return "This system offers no raw port access to the port's ECP registers (no ioperm and no "
         "/dev/port). Use Mode 0 (Standard), which needs ppdev only.";
}

}  // namespace platform::linux_backend
