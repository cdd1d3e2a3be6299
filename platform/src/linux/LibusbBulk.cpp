#include "linux/LibusbBulk.h"

#include <algorithm>

#include "linux/ErrorCodes.h"
#include "linux/ParallelIo.h"
#include "linux/UsbFailure.h"
#include "platform/WinApi.h"
#include "platform/WriteProgress.h"

namespace platform::linux_backend {

namespace {
constexpr std::uint32_t kBulkChunk = 64 * 1024;
}  // namespace

bool WriteBulk(LibusbDevice& device, std::uint8_t endpoint, const std::uint8_t* data,
               std::uint32_t length, std::uint32_t& count) {
  count = 0;
  std::vector<std::uint8_t> chunk;
  while (count < length) {
    const std::uint32_t size = std::min(length - count, kBulkChunk);
    chunk.assign(data + count, data + count + size);
    std::uint32_t done = 0;
    const bool ok =
        device.Bulk(endpoint, chunk.data(), size, done, static_cast<unsigned>(kWriteStallMs));
    count += done;
    CountBytesTaken(count);
    // A time-out after some bytes is progress; one after none is a stalled device.
    if (!ok && !(LastError() == kErrorSemTimeout && done > 0)) {
      NoteUsbTransferFailure(device.Name());
      return false;
    }
    // A transfer said done with no byte moved would have the loop ask again for ever.
    if (done == 0) {
      SetLastErrorCode(kErrorSemTimeout);
      NoteUsbTransferFailure(device.Name());
      return false;
    }
  }
  SetLastErrorCode(kErrorSuccess);
  return true;
}

std::uint32_t BulkReader::TakePending(std::uint8_t* buffer, std::uint32_t length) {
  const auto taken = static_cast<std::uint32_t>(std::min<std::size_t>(pending_.size(), length));
  std::copy_n(pending_.begin(), taken, buffer);
  pending_.erase(pending_.begin(), pending_.begin() + taken);
  return taken;
}

bool BulkReader::Read(LibusbDevice& device, std::uint8_t* buffer, std::uint32_t length,
                      std::uint32_t& count, bool untilSilence) {
  const std::lock_guard lock(mutex_);
  count = TakePending(buffer, length);
  std::vector<std::uint8_t> incoming;
  // A single-transfer read that kept bytes from the last one has its transfer already.
  while (count < length && (untilSilence || count == 0)) {
    // At most one chunk per transfer, so that the whole packets asked for neither overflow
    // the count nor make a buffer of the caller's whole length.
    const std::uint32_t part = std::min(length - count, kBulkChunk);
    const std::uint32_t wanted = (part + packet_ - 1) / packet_ * packet_;
    incoming.resize(wanted);
    std::uint32_t done = 0;
    const unsigned wait = static_cast<unsigned>(count == 0 ? kReadFirstByteMs : kReadGapMs);
    const bool ok = device.Bulk(endpoint_, incoming.data(), wanted, done, wait);
    const std::uint32_t used = std::min(done, length - count);
    std::copy_n(incoming.begin(), used, buffer + count);
    pending_.insert(pending_.end(), incoming.begin() + used, incoming.begin() + done);
    count += used;
    if (!ok && LastError() != kErrorSemTimeout) {
      NoteUsbTransferFailure(device.Name());
      return false;
    }
    if (!ok || done == 0) {
      break;  // silence: the reply has ended, or none came
    }
  }
  SetLastErrorCode(kErrorSuccess);
  return true;
}

}  // namespace platform::linux_backend
