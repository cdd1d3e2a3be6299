// Bulk data through libusb with the waits of a printer port: a write gives up only when the
// device takes nothing for kWriteStallMs, a read waits kReadFirstByteMs at most for the first
// bytes. A failure that a technician can act on (the device went away, it took nothing in
// time) is noted as the failure reason.
#pragma once

#include <cstdint>
#include <mutex>
#include <vector>

#include "linux/LibusbDevice.h"

namespace platform::linux_backend {

// Sends every byte on the OUT endpoint; count is the bytes the device took.
bool WriteBulk(LibusbDevice& device, std::uint8_t endpoint, const std::uint8_t* data,
               std::uint32_t length, std::uint32_t& count);

// Reads from one IN endpoint. Whole packets are asked of the device, so that a packet never
// overflows a request; the bytes of a packet beyond what the caller asked for are kept for
// the next read.
class BulkReader {
 public:
  BulkReader(std::uint8_t endpoint, std::uint16_t maxPacket)
      : endpoint_(endpoint), packet_(maxPacket > 0 ? maxPacket : 1) {}

  // True with the bytes that came (maybe none, when the device is silent) unless the device
  // fails. untilSilence: go on reading until no more bytes come for kReadGapMs (a printer's
  // reply in several transfers); otherwise one transfer, which a short packet ends.
  bool Read(LibusbDevice& device, std::uint8_t* buffer, std::uint32_t length, std::uint32_t& count,
            bool untilSilence);

 private:
  std::uint32_t TakePending(std::uint8_t* buffer, std::uint32_t length);

  const std::uint8_t endpoint_;
  const std::uint32_t packet_;
  std::mutex mutex_;  // one read at a time takes from and adds to pending_
  std::vector<std::uint8_t> pending_;
};

}  // namespace platform::linux_backend
