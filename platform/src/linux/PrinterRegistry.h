// The one registry tree Linux has an answer for: the print queues key
// HKEY_LOCAL_MACHINE\System\CurrentControlSet\Control\Print\Printers, made from the print
// server's queues when it is opened. Each queue is a subkey with a "DsSpooler" key whose
// multi-string "portName" names its port: "LPTn:" for a queue on the device of \\.\LPTn
// (parallel:/dev/lp<n-1>, or the device ZARNIK_LPT<n> names), else the queue's device URI.
// Every other key is not found.
//
// The print server is not asked for every key: one job opens and closes the port for each
// frame it sends or reads, and each open looks at the printers key. An answer is used again
// while the keys are looked at less than kQueuesReuseGap apart; after a longer pause the next
// look asks the server afresh.
#pragma once

#include <chrono>
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

inline constexpr std::chrono::seconds kQueuesReuseGap{5};

class PrinterRegistry {
 public:
  using QueueSource = std::function<std::vector<PrintQueue>()>;
  using Clock = std::chrono::steady_clock;
  using Now = std::function<Clock::time_point()>;
  explicit PrinterRegistry(QueueSource source = ListPrintQueues, Now now = Clock::now);

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

  // The queues a key opened now sees: the last answer while it is in use, else a new one.
  std::shared_ptr<const Queues> CurrentQueues();

  QueueSource source_;
  Now now_;
  std::mutex mutex_;
  std::map<RegistryKey, OpenedKey> open_;
  std::shared_ptr<const Queues> latest_;
  Clock::time_point lastLook_;
  RegistryKey next_ = 0x1000;
};

}  // namespace platform::linux_backend
