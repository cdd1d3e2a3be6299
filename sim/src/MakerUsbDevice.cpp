#include "sim/MakerUsbDevice.h"

#include "platform/VopUsbDriver.h"

namespace sim {

void AttachMakerUsbDevice(Machine& machine, const std::string& path, std::shared_ptr<Device> device,
                          const std::vector<std::shared_ptr<Device>>& pipes) {
  machine.deviceInterfaces().Add(platform::vopusb::kInterfaceClass, path);
  machine.AttachDevice(path, std::move(device));
  for (std::size_t pipe = 0; pipe < pipes.size(); ++pipe) {
    machine.AttachDevice(platform::vopusb::PipePath(path, 0, static_cast<std::uint8_t>(pipe)),
                         pipes[pipe]);
  }
}

}  // namespace sim
