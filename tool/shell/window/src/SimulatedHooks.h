// The window's hooks on the simulated machine: a tool started with "USB" chosen runs on the
// parallel port, where the virtual printer is; the panel keeps showing "USB".
#pragma once

#include "window/WindowHooks.h"

namespace shell {

WindowHooks SimulatedHooks(WindowHooks hooks);

}  // namespace shell
