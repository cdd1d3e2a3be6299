// Whether the print spooler holds the first parallel port: a queue whose port is "LPT1:"
// would fight the library for the printer, so the driver path does not open the port then.
// Only LPT1 is looked for, whichever port the library is set to.
#include <cstdio>
#include <cstring>
#include <string>

#include "Diagnostics.h"
#include "LptDriver.h"
#include "platform/FailureReason.h"
#include "platform/Services.h"

namespace vopp2 {

namespace {

constexpr const char* kPrintersKey = R"(System\CurrentControlSet\Control\Print\Printers)";
constexpr std::uint32_t kQueueNameSize = 261;  // names up to 260 characters
constexpr std::uint32_t kPortNameSize = 256;

// The first string of the queue's "portName", empty when it has none.
std::string PortNameOf(const char* queue) {
  platform::Services& os = platform::Current();
  const std::string path = std::string(kPrintersKey) + "\\" + queue + "\\DsSpooler";
  platform::RegistryKey spooler = platform::kNoKey;
  if (os.RegOpenKeyEx(platform::kHkeyLocalMachine, path.c_str(), platform::kKeyRead, &spooler) !=
      platform::kRegSuccess) {
    return {};
  }
  char data[kPortNameSize] = {};
  std::uint32_t type = 0;
  std::uint32_t length = sizeof data;
  std::string port;
  if (os.RegQueryValueEx(spooler, "portName", &type, data, &length) == platform::kRegSuccess &&
      (type == platform::kRegMultiSz || type == platform::kRegSz)) {
    // The value need not end inside the buffer: take the first string within what came.
    const std::size_t size = length < sizeof data ? length : sizeof data;
    port.assign(data, strnlen(data, size));
  }
  os.RegCloseKey(spooler);
  return port;
}

}  // namespace

std::int32_t IsLPT1UsedByOtherDriver() {
  DebugLine(kLevelModeFunction, "IsLPT1UsedByOtherDriver\n");
  platform::Services& os = platform::Current();
  platform::RegistryKey printers = platform::kNoKey;
  if (os.RegOpenKeyEx(platform::kHkeyLocalMachine, kPrintersKey, platform::kKeyRead, &printers) !=
      platform::kRegSuccess) {
    return 0;
  }
  std::int32_t users = 0;
  std::string queues;  // their names, for the failure reason
  for (std::uint32_t index = 0;; ++index) {
    char queue[kQueueNameSize] = {};
    std::uint32_t length = sizeof queue;
    if (os.RegEnumKeyEx(printers, index, queue, &length) != platform::kRegSuccess) {
      break;
    }
    if (PortNameOf(queue) == "LPT1:") {
      ReportFailure("CheckLPT1: LPT1ポートが %s のドライバで使用されています。\n", queue);
      queues.append(users == 0 ? "" : ", ").append(queue);
      ++users;
    }
  }
  os.RegCloseKey(printers);
  if (users > 0) {
    platform::NoteFailureReason({platform::FailureKind::kPrintQueue, "LPT1",
                                 (users == 1 ? "Print queue: " : "Print queues: ") + queues});
  }
  return users;
}

}  // namespace vopp2
