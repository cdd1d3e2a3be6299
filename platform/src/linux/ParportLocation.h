// Which parallel port of the system has its registers at a given I/O address, and the words
// for what is missing when register access cannot be had.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "platform/FailureReason.h"

namespace platform::linux_backend {

struct ParportLocation {
  std::string device;     // the ppdev node, /dev/parportN
  std::string procDir;    // the kernel's record of the port (/proc/sys/dev/parport/parportN)
  std::uint16_t ecrBase;  // where the ECP registers are (base + 0x400 unless the kernel says)
};

// The port ZARNIK_PARPORT names when set (whatever base the caller asks for), else the one
// of procRoot/parport*/base-addr whose first address is base, its node in devRoot. When
// there is none, reason says what is missing and how to get it.
std::optional<ParportLocation> LocateParport(std::uint16_t base, const std::string& procRoot,
                                             const std::string& devRoot, FailureReason& reason);

// The name of the driver holding the port now, from procDir/devices/active ("" when none
// or unknown).
std::string ActiveParportDevice(const std::string& procDir);

// Why raw port access to the ECP registers failed (errno of ioperm or of opening /dev/port),
// given the text of /sys/kernel/security/lockdown ("" when the file is missing).
std::string RawAccessRefusal(int error, const std::string& lockdown);

}  // namespace platform::linux_backend
