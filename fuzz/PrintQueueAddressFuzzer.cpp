// Any bytes as the device address a print server gives for a queue: the port name made of it
// is "LPTn:" or the address unchanged, and the printers key hands it out within the room the
// caller gives. The first byte is that room, the rest the address.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "linux/PrinterRegistry.h"

namespace {

using platform::linux_backend::PortNameOfDevice;
using platform::linux_backend::PrinterRegistry;
using platform::linux_backend::PrintQueue;

constexpr const char* kQueueKey =
    R"(System\CurrentControlSet\Control\Print\Printers\Queue\DsSpooler)";

bool IsLptPortName(const std::string& port) {
  return port.size() == 5 && port.starts_with("LPT") && port[3] >= '1' && port[3] <= '9' &&
         port[4] == ':';
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) {
    return 0;
  }
  const std::uint32_t room = data[0];
  const std::string address(reinterpret_cast<const char*>(data) + 1, size - 1);
  const std::string port = PortNameOfDevice(address);
  if (port != address && !IsLptPortName(port)) {
    std::abort();
  }

  PrinterRegistry registry([&] { return std::vector<PrintQueue>{{"Queue", address}}; });
  platform::RegistryKey key = platform::kNoKey;
  if (registry.OpenKey(platform::kHkeyLocalMachine, kQueueKey, &key) != platform::kRegSuccess) {
    std::abort();
  }
  // The value is a multi-string: the port name, its end and the list's end.
  const std::size_t needed = port.size() + 2;
  std::vector<char> value(room);
  std::uint32_t length = room;
  const std::int32_t status = registry.QueryValue(key, "portName", nullptr,
                                                  value.empty() ? nullptr : value.data(), &length);
  if (length != needed) {
    std::abort();
  }
  const bool fits = !value.empty() && needed <= room;
  if (fits && (status != platform::kRegSuccess ||
               std::memcmp(value.data(), port.c_str(), needed - 1) != 0)) {
    std::abort();
  }
  if (!fits && !value.empty() && status == platform::kRegSuccess) {
    std::abort();
  }
  registry.CloseKey(key);
  return 0;
}
