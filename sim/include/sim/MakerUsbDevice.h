// A device of the printer maker's USB driver on the simulated machine: its device interface
// listed under the maker's class, the device attached at the interface path, and the pipes of
// interface 0 attached at "<path>\if000pipe<n>", pipe n being pipes[n].
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "sim/Device.h"
#include "sim/Machine.h"

namespace sim {

void AttachMakerUsbDevice(Machine& machine, const std::string& path, std::shared_ptr<Device> device,
                          const std::vector<std::shared_ptr<Device>>& pipes);

}  // namespace sim
