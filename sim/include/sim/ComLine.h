// A simulated serial line: the library's end is a Device on the machine ("\\.\COM1"), the
// peer end is this object's test side. The peer sees every byte written and every line
// setting, hands bytes to the library's reads, and can make each operation fail, make
// writes short or keep silent.
#pragma once

#include <cstdint>
#include <deque>
#include <map>
#include <mutex>
#include <optional>
#include <span>
#include <vector>

#include "sim/Device.h"

namespace sim {

enum class ComOperation {
  kOpen,
  kSetCommMask,
  kSetupComm,
  kGetCommState,
  kSetCommState,
  kSetCommTimeouts,
  kWrite,
  kRead,
};

class ComLine final : public Device {
 public:
  ComLine();

  // --- peer end ---
  // Bytes the library's writes delivered, in order, and the length asked of each write.
  std::vector<std::uint8_t> Written() const;
  std::vector<std::uint32_t> WriteRequests() const;
  void ClearWritten();
  // Bytes the library's next reads receive.
  void Deliver(std::span<const std::uint8_t> bytes);
  std::size_t PendingBytes() const;

  // The operation fails with error until Heal (an open refused, a write or read that fails).
  void Fail(ComOperation operation, std::uint32_t error);
  void Heal(ComOperation operation);
  // Each write accepts at most this many bytes and reports the short count (0: the line is
  // stalled and nothing goes); nullopt accepts everything.
  void LimitWrites(std::optional<std::uint32_t> bytesPerWrite);
  // A silent line gives 0 bytes to every read (its time-outs pass with nothing), whatever
  // has been delivered.
  void SetSilent(bool silent);

  // The line as the library left it, and what the system reports before any setting.
  platform::CommState LineSettings() const;
  void SetLineSettings(const platform::CommState& settings);
  platform::CommTimeouts Timeouts() const;
  std::uint32_t CommMask() const;
  std::uint32_t InQueue() const;
  std::uint32_t OutQueue() const;
  bool IsOpen() const;
  int OpenCount() const;  // opens granted so far

  // --- library end (Device) ---
  // The line is held exclusively: a second open while open is refused (access denied).
  IoResult Open() override;
  void Close() override;
  IoResult Write(std::span<const std::uint8_t> data) override;
  IoResult Read(std::span<std::uint8_t> buffer) override;
  IoResult SetCommMask(std::uint32_t mask) override;
  IoResult SetupComm(std::uint32_t inQueue, std::uint32_t outQueue) override;
  IoResult GetCommState(platform::CommState& state) override;
  IoResult SetCommState(const platform::CommState& state) override;
  IoResult SetCommTimeouts(const platform::CommTimeouts& timeouts) override;

 private:
  // The error an operation is told to fail with, if any (caller holds the lock).
  std::optional<std::uint32_t> Failure(ComOperation operation) const;

  mutable std::mutex mutex_;
  std::vector<std::uint8_t> written_;
  std::vector<std::uint32_t> writeRequests_;
  std::deque<std::uint8_t> pending_;
  std::map<ComOperation, std::uint32_t> failures_;
  std::optional<std::uint32_t> writeLimit_;
  bool silent_ = false;
  platform::CommState settings_;
  platform::CommTimeouts timeouts_;
  std::uint32_t commMask_ = 0;
  std::uint32_t inQueue_ = 4096;
  std::uint32_t outQueue_ = 4096;
  bool open_ = false;
  int openCount_ = 0;
};

}  // namespace sim
