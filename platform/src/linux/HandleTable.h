// Open files and serial lines of the Linux backend, keyed by the handles given out to the
// layers above. A handle is never a bare descriptor: 0 has a meaning of its own above this
// layer (the parallel port open for direct access), and a serial line carries settings that
// termios has no place for.
#pragma once

#include <map>
#include <memory>
#include <mutex>
#include <string>

#include "linux/DeviceLink.h"
#include "platform/WinApi.h"

namespace platform::linux_backend {

struct OpenFile {
  OpenFile(int descriptor, bool serialLine, bool exclusiveLine, bool parallelPort = false)
      : fd(descriptor), serial(serialLine), exclusive(exclusiveLine), parallel(parallelPort) {}
  OpenFile(const OpenFile&) = delete;
  OpenFile& operator=(const OpenFile&) = delete;
  ~OpenFile();

  const int fd;
  const bool serial;     // a tty: the serial-line services apply
  const bool exclusive;  // TIOCEXCL was set at open and is cleared again at close
  const bool parallel;   // "\\.\LPTn": reads and writes with bounded waits, the device ID
  // A USB printer: reads, writes and the device ID go through the link (fd is then -1).
  std::unique_ptr<DeviceLink> link;

  // Set once when the handle is made, before it is given out.
  std::string device;   // the path opened, as failure reasons name it
  bool answers = true;  // parallel: false for a file or FIFO standing in, whose reads give
                        // nothing (they would hand back the caller's own bytes)
  bool stream = false;  // an ordinary path that is not a regular file (a pipe, a terminal, a
                        // device): written with bounded waits, read without waiting

  // Serial line only. Settings without a termios counterpart are kept here and reported
  // back by GetCommState as they were set.
  std::mutex lineMutex;
  CommState shadow;
  CommTimeouts timeouts;
  std::uint32_t commMask = 0;
};

class HandleTable {
 public:
  Handle Add(std::shared_ptr<OpenFile> file);
  std::shared_ptr<OpenFile> Find(Handle handle);
  // Removes the handle; the descriptor closes when the last user lets go of it.
  bool Remove(Handle handle);

 private:
  std::mutex mutex_;
  std::map<Handle, std::shared_ptr<OpenFile>> files_;
  Handle next_ = 0x100;
};

}  // namespace platform::linux_backend
