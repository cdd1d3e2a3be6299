#include "window/PortLibraryHooks.h"

#include "VopP2.h"
#include "channel/PortChannel.h"

namespace shell {

WindowHooks PortLibraryHooks() {
  WindowHooks hooks;
  hooks.portLibraryVersion = [] { return VopP2GetVersion(); };
  hooks.initLptPort = [] { channel::PortChannel().InitLptPort(); };
  return hooks;
}

}  // namespace shell
