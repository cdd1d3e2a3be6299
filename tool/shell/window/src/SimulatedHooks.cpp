#include "SimulatedHooks.h"

#include "channel/PortSettings.h"
#include "simulate/Simulation.h"
#include "window/ToolBundle.h"

namespace shell {

WindowHooks SimulatedHooks(WindowHooks hooks) {
  hooks.runTool = [runTool = hooks.runTool](int position, const ToolBundle& bundle,
                                            const DialogRunner& runModal, QWidget* parent) {
    ToolBundle simulated = bundle;
    simulated.portKind = simulate::SimulatedPortKind(
        bundle.portKind, channel::ProcessPortSettings().forceVopUsb != 0);
    runTool(position, simulated, runModal, parent);
  };
  return hooks;
}

}  // namespace shell
