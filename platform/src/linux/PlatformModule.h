// Modules of the platform layer that carry a heavy system library (CUPS, libieee1284), loaded
// the first time they are needed instead of at every program start: a program that never asks
// for print queues or a parallel port's device ID does not pay for loading those libraries.
#pragma once

namespace platform::linux_backend {

// The module's entry point of that name, from the module beside the platform library (else
// found by name through its run path); null when the module or the entry point is missing.
// A module, once loaded, stays for the life of the process.
void* PlatformModuleEntry(const char* fileName, const char* entry);

}  // namespace platform::linux_backend
