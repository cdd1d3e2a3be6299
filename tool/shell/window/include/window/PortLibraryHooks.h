// The window's hooks wired to the real port library.
#pragma once

#include "window/WindowHooks.h"

namespace shell {

WindowHooks PortLibraryHooks();

}  // namespace shell
