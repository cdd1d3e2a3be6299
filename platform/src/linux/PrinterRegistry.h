// The one registry tree Linux has an answer for: the print queues key
// HKEY_LOCAL_MACHINE\System\CurrentControlSet\Control\Print\Printers, made from the print
// server's queues when it is opened. Each queue is a subkey with a "DsSpooler" key whose
// multi-string "portName" names its port: "LPTn:" for a queue on the device of \\.\LPTn
// (parallel:/dev/lp<n-1>, or the device ZARNIK_LPT<n> names), else the queue's device URI.
// Every other key is not found.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "linux/PrintQueues.h"
#include "platform/WinApi.h"

namespace platform::linux_backend {

// "LPTn:" for a parallel device URI whose device is that of \\.\LPTn, else the URI.
std::string PortNameOfDevice(const std::string& deviceUri);

class PrinterRegistry {
 public:
  using QueueSource = std::function<std::vector<PrintQueue>()>;
  explicit PrinterRegistry(QueueSource source = ListPrintQueues);

  // The registry calls with their status codes (kRegSuccess, 2 not found, 6 invalid key,
  // 234 more data, 259 no more items).
  std::int32_t OpenKey(RegistryKey key, const char* subKey, RegistryKey* result);
  std::int32_t EnumKey(RegistryKey key, std::uint32_t index, char* name, std::uint32_t* nameLength);
  std::int32_t QueryValue(RegistryKey key, const char* valueName, std::uint32_t* type, void* data,
                          std::uint32_t* dataLength);
  std::int32_t CloseKey(RegistryKey key);

 private:
  using Queues = std::vector<PrintQueue>;
  struct OpenedKey {
    std::shared_ptr<const Queues> queues;
    std::size_t depth = 0;  // 0 the printers key, 1 a queue, 2 its DsSpooler key
    std::size_t queue = 0;  // the queue's index for depths 1 and 2
  };

  // The queues a key opened now sees: those of a printers key still open, else new ones.
  std::shared_ptr<const Queues> CurrentQueues();

  QueueSource source_;
  std::mutex mutex_;
  std::map<RegistryKey, OpenedKey> open_;
  std::weak_ptr<const Queues> latest_;
  RegistryKey next_ = 0x1000;
};

}  // namespace platform::linux_backend
