// A printer's port device for the port library's tests on the simulated machine: it records
// what is written, answers reads from queued replies and the device-ID request from its ID
// text (cut to the room it is given, as a driver would not overrun it). It can also stand
// at a serial port.
#pragma once

#include <algorithm>
#include <cstdint>
#include <deque>
#include <span>
#include <string>
#include <vector>

#include "sim/Device.h"

class PrinterPort final : public sim::Device {
 public:
  sim::IoResult Open() override {
    if (exclusive && open) {
      return sim::IoResult::Failed(platform::kErrorSharingViolation);
    }
    ++opens;
    open = true;
    return sim::IoResult::Done();
  }
  void Close() override { open = false; }
  sim::IoResult Write(std::span<const std::uint8_t> data) override {
    if (writeError != 0) {
      return sim::IoResult::Failed(writeError);
    }
    writeSizes.push_back(data.size());
    const std::size_t room = stallAfter - std::min(stallAfter, written.size());
    const std::size_t taken = std::min({data.size(), writeLimit, room});
    written.insert(written.end(), data.begin(), data.begin() + static_cast<long>(taken));
    if (taken < data.size() && taken == room && stallError != 0) {
      return {false, static_cast<std::uint32_t>(taken), stallError};
    }
    return sim::IoResult::Done(static_cast<std::uint32_t>(taken));
  }
  sim::IoResult Read(std::span<std::uint8_t> buffer) override {
    readSizes.push_back(buffer.size());
    if (replies.empty()) {
      return sim::IoResult::Done(0);
    }
    const std::vector<std::uint8_t> reply = replies.front();
    replies.pop_front();
    const std::size_t n = std::min(reply.size(), buffer.size());
    std::copy_n(reply.begin(), n, buffer.begin());
    return sim::IoResult::Done(static_cast<std::uint32_t>(n));
  }
  sim::IoResult IoControl(std::uint32_t code, std::span<const std::uint8_t> /*in*/,
                          std::span<std::uint8_t> out) override {
    if (code != platform::kIoctlParQueryDeviceId) {
      return sim::IoResult::Failed(platform::kErrorInvalidParameter);
    }
    idRooms.push_back(out.size());
    if (idError != 0) {
      return sim::IoResult::Failed(idError);
    }
    if (out.size() < deviceId.size()) {  // as a driver does: no part of the identification
      return sim::IoResult::Failed(platform::kErrorInsufficientBuffer);
    }
    std::copy(deviceId.begin(), deviceId.end(), out.begin());
    return sim::IoResult::Done(static_cast<std::uint32_t>(deviceId.size()));
  }

  // It serves as a serial line too, one that takes every setting.
  sim::IoResult SetCommMask(std::uint32_t /*mask*/) override { return sim::IoResult::Done(); }
  sim::IoResult SetupComm(std::uint32_t /*in*/, std::uint32_t /*out*/) override {
    return sim::IoResult::Done();
  }
  sim::IoResult GetCommState(platform::CommState& /*state*/) override {
    return sim::IoResult::Done();
  }
  sim::IoResult SetCommState(const platform::CommState& /*state*/) override {
    return sim::IoResult::Done();
  }
  sim::IoResult SetCommTimeouts(const platform::CommTimeouts& /*timeouts*/) override {
    return sim::IoResult::Done();
  }

  int opens = 0;
  bool open = false;
  bool exclusive = false;  // a second open while open is refused as a sharing violation
  std::vector<std::size_t> writeSizes;
  std::vector<std::uint8_t> written;
  std::size_t writeLimit = SIZE_MAX;  // bytes taken per write at most
  std::uint32_t writeError = 0;
  // Bytes taken in all, after which the device takes no more; a write that reaches that point
  // fails with stallError, reporting the part it took, when stallError is set (as a driver's
  // write that timed out does).
  std::size_t stallAfter = SIZE_MAX;
  std::uint32_t stallError = 0;
  std::deque<std::vector<std::uint8_t>> replies;
  std::vector<std::size_t> readSizes;
  std::string deviceId = "MFG:Zarnik;CMD:PJL;MDL:QX4410;CLS:PRINTER;";
  std::vector<std::size_t> idRooms;
  std::uint32_t idError = 0;
};
