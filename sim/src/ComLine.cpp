#include "sim/ComLine.h"

#include <algorithm>

namespace sim {

ComLine::ComLine() {
  // What a freshly installed port reports: 9600 baud, 8 data bits, no parity, one stop bit,
  // binary, DTR and RTS raised, no flow control.
  settings_.BaudRate = 9600;
  settings_.fBinary = 1;
  settings_.fDtrControl = platform::kDtrControlEnable;
  settings_.fRtsControl = platform::kRtsControlEnable;
  settings_.XonLim = 2048;
  settings_.XoffLim = 512;
  settings_.XonChar = 0x11;
  settings_.XoffChar = 0x13;
}

std::vector<std::uint8_t> ComLine::Written() const {
  std::lock_guard lock(mutex_);
  return written_;
}

std::vector<std::uint32_t> ComLine::WriteRequests() const {
  std::lock_guard lock(mutex_);
  return writeRequests_;
}

void ComLine::ClearWritten() {
  std::lock_guard lock(mutex_);
  written_.clear();
  writeRequests_.clear();
}

void ComLine::Deliver(std::span<const std::uint8_t> bytes) {
  std::lock_guard lock(mutex_);
  pending_.insert(pending_.end(), bytes.begin(), bytes.end());
}

std::size_t ComLine::PendingBytes() const {
  std::lock_guard lock(mutex_);
  return pending_.size();
}

void ComLine::Fail(ComOperation operation, std::uint32_t error) {
  std::lock_guard lock(mutex_);
  failures_[operation] = error;
}

void ComLine::Heal(ComOperation operation) {
  std::lock_guard lock(mutex_);
  failures_.erase(operation);
}

void ComLine::LimitWrites(std::optional<std::uint32_t> bytesPerWrite) {
  std::lock_guard lock(mutex_);
  writeLimit_ = bytesPerWrite;
}

void ComLine::SetSilent(bool silent) {
  std::lock_guard lock(mutex_);
  silent_ = silent;
}

platform::CommState ComLine::LineSettings() const {
  std::lock_guard lock(mutex_);
  return settings_;
}

void ComLine::SetLineSettings(const platform::CommState& settings) {
  std::lock_guard lock(mutex_);
  settings_ = settings;
}

platform::CommTimeouts ComLine::Timeouts() const {
  std::lock_guard lock(mutex_);
  return timeouts_;
}

std::uint32_t ComLine::CommMask() const {
  std::lock_guard lock(mutex_);
  return commMask_;
}

std::uint32_t ComLine::InQueue() const {
  std::lock_guard lock(mutex_);
  return inQueue_;
}

std::uint32_t ComLine::OutQueue() const {
  std::lock_guard lock(mutex_);
  return outQueue_;
}

bool ComLine::IsOpen() const {
  std::lock_guard lock(mutex_);
  return open_;
}

int ComLine::OpenCount() const {
  std::lock_guard lock(mutex_);
  return openCount_;
}

std::optional<std::uint32_t> ComLine::Failure(ComOperation operation) const {
  auto it = failures_.find(operation);
  return it == failures_.end() ? std::nullopt : std::optional(it->second);
}

IoResult ComLine::Open() {
  std::lock_guard lock(mutex_);
  if (auto error = Failure(ComOperation::kOpen)) {
    return IoResult::Failed(*error);
  }
  if (open_) {
    return IoResult::Failed(platform::kErrorAccessDenied);
  }
  open_ = true;
  ++openCount_;
  return IoResult::Done();
}

void ComLine::Close() {
  std::lock_guard lock(mutex_);
  open_ = false;
}

IoResult ComLine::Write(std::span<const std::uint8_t> data) {
  std::lock_guard lock(mutex_);
  writeRequests_.push_back(static_cast<std::uint32_t>(data.size()));
  if (auto error = Failure(ComOperation::kWrite)) {
    return IoResult::Failed(*error);
  }
  const std::size_t accepted = std::min<std::size_t>(data.size(), writeLimit_.value_or(~0U));
  written_.insert(written_.end(), data.begin(), data.begin() + static_cast<long>(accepted));
  return IoResult::Done(static_cast<std::uint32_t>(accepted));
}

IoResult ComLine::Read(std::span<std::uint8_t> buffer) {
  std::lock_guard lock(mutex_);
  if (auto error = Failure(ComOperation::kRead)) {
    return IoResult::Failed(*error);
  }
  if (silent_) {
    return IoResult::Done(0);
  }
  const std::size_t count = std::min(buffer.size(), pending_.size());
  std::copy_n(pending_.begin(), count, buffer.begin());
  pending_.erase(pending_.begin(), pending_.begin() + static_cast<long>(count));
  return IoResult::Done(static_cast<std::uint32_t>(count));
}

IoResult ComLine::SetCommMask(std::uint32_t mask) {
  std::lock_guard lock(mutex_);
  if (auto error = Failure(ComOperation::kSetCommMask)) {
    return IoResult::Failed(*error);
  }
  commMask_ = mask;
  return IoResult::Done();
}

IoResult ComLine::SetupComm(std::uint32_t inQueue, std::uint32_t outQueue) {
  std::lock_guard lock(mutex_);
  if (auto error = Failure(ComOperation::kSetupComm)) {
    return IoResult::Failed(*error);
  }
  inQueue_ = inQueue;
  outQueue_ = outQueue;
  return IoResult::Done();
}

IoResult ComLine::GetCommState(platform::CommState& state) {
  std::lock_guard lock(mutex_);
  if (auto error = Failure(ComOperation::kGetCommState)) {
    return IoResult::Failed(*error);
  }
  state = settings_;
  return IoResult::Done();
}

IoResult ComLine::SetCommState(const platform::CommState& state) {
  std::lock_guard lock(mutex_);
  if (auto error = Failure(ComOperation::kSetCommState)) {
    return IoResult::Failed(*error);
  }
  settings_ = state;
  return IoResult::Done();
}

IoResult ComLine::SetCommTimeouts(const platform::CommTimeouts& timeouts) {
  std::lock_guard lock(mutex_);
  if (auto error = Failure(ComOperation::kSetCommTimeouts)) {
    return IoResult::Failed(*error);
  }
  timeouts_ = timeouts;
  return IoResult::Done();
}

}  // namespace sim
