// The print queues of the local print server (CUPS), each with the URI of its device.
#pragma once

#include <string>
#include <vector>

namespace platform::linux_backend {

struct PrintQueue {
  std::string name;
  std::string deviceUri;  // "parallel:/dev/lp0", "usb://...", empty when not told
};

// Asks the print server named by the CUPS settings (CUPS_SERVER, client.conf, else the
// local one) for its queues. No server, or no answer within a few seconds, is no queues; the
// caller never waits longer than that. Loads the CUPS module on first use; without it there
// are no queues to ask about.
std::vector<PrintQueue> ListPrintQueues();

// The question itself, inside the CUPS module (CupsPrintQueues.cpp).
std::vector<PrintQueue> AskCupsForQueues();

// The file name of the CUPS module, looked for beside the platform library.
inline constexpr const char* kCupsModuleName = "libzarnik_cups.so";

}  // namespace platform::linux_backend
