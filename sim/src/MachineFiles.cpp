// The simulated machine's files and devices: handles on attached devices, with serial-line
// control routed to the device, and handles on real files for every ordinary path.
#include <algorithm>
#include <cctype>
#include <string>

#include "platform/FailureReason.h"
#include "platform/WriteProgress.h"
#include "sim/Machine.h"

namespace sim {

namespace {

std::string PathKey(std::string_view path) {
  std::string key(path);
  std::transform(key.begin(), key.end(), key.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return key;
}

// "\\.\NAME" and the device interface paths "\\?\..." name devices, never files.
bool InDeviceNamespace(std::string_view path) {
  return path.starts_with(R"(\\.\)") || path.starts_with(R"(\\?\)");
}

}  // namespace

void Machine::AttachDevice(std::string_view path, std::shared_ptr<Device> device) {
  std::lock_guard lock(mutex_);
  devices_[PathKey(path)] = std::move(device);
}

void Machine::DetachDevice(std::string_view path) {
  std::lock_guard lock(mutex_);
  devices_.erase(PathKey(path));
}

std::size_t Machine::OpenHandleCount() const {
  std::lock_guard lock(mutex_);
  return handles_.size();
}

bool Machine::Finish(const IoResult& result) {
  SetLastError(result.ok ? platform::kErrorSuccess : result.error);
  return result.ok;
}

bool Machine::FromReal(bool ok) {
  SetLastError(platform::RealMachine().GetLastError());
  return ok;
}

std::shared_ptr<Device> Machine::DeviceOf(platform::Handle handle, platform::Handle& real,
                                          std::string* key) {
  real = platform::kInvalidHandle;
  std::lock_guard lock(mutex_);
  auto it = handles_.find(handle);
  if (it == handles_.end()) {
    SetLastError(platform::kErrorInvalidHandle);
    return nullptr;
  }
  if (key != nullptr) {
    *key = it->second.key;
  }
  if (it->second.real != platform::kInvalidHandle) {
    real = it->second.real;
    return nullptr;
  }
  auto attached = devices_.find(it->second.key);
  if (attached == devices_.end() || attached->second != it->second.device) {
    SetLastError(platform::kErrorDeviceNotConnected);
    return nullptr;
  }
  return it->second.device;
}

platform::Handle Machine::CreateFile(const char* path, std::uint32_t access, std::uint32_t share,
                                     std::uint32_t disposition, std::uint32_t attributes) {
  if (path == nullptr) {
    SetLastError(platform::kErrorInvalidParameter);
    return platform::kInvalidHandle;
  }
  OpenHandle open;
  open.key = PathKey(path);
  {
    std::lock_guard lock(mutex_);
    auto it = devices_.find(open.key);
    if (it != devices_.end()) {
      open.device = it->second;
    }
  }
  if (open.device != nullptr) {
    if (!Finish(open.device->Open())) {
      return platform::kInvalidHandle;
    }
  } else if (InDeviceNamespace(path)) {
    SetLastError(platform::kErrorFileNotFound);  // no such device on this machine
    return platform::kInvalidHandle;
  } else {
    open.real = platform::RealMachine().CreateFile(path, access, share, disposition, attributes);
    if (!FromReal(open.real != platform::kInvalidHandle)) {
      return platform::kInvalidHandle;
    }
  }
  std::lock_guard lock(mutex_);
  const platform::Handle handle = nextHandle_;
  nextHandle_ += 4;
  handles_.emplace(handle, std::move(open));
  return handle;
}

bool Machine::CloseHandle(platform::Handle handle) {
  OpenHandle open;
  {
    std::lock_guard lock(mutex_);
    auto it = handles_.find(handle);
    if (it == handles_.end()) {
      SetLastError(platform::kErrorInvalidHandle);
      return false;
    }
    open = std::move(it->second);
    handles_.erase(it);
  }
  if (open.real != platform::kInvalidHandle) {
    return FromReal(platform::RealMachine().CloseHandle(open.real));
  }
  open.device->Close();
  return true;
}

bool Machine::ReadFile(platform::Handle handle, void* buffer, std::uint32_t length,
                       std::uint32_t* bytesRead) {
  std::uint32_t ignored = 0;
  std::uint32_t& count = bytesRead != nullptr ? *bytesRead : ignored;
  count = 0;
  platform::Handle real = platform::kInvalidHandle;
  std::string key;
  auto device = DeviceOf(handle, real, &key);
  if (real != platform::kInvalidHandle) {
    return FromReal(platform::RealMachine().ReadFile(real, buffer, length, &count));
  }
  if (device == nullptr) {
    return false;
  }
  if (buffer == nullptr && length > 0) {
    SetLastError(platform::kErrorNoAccess);
    return false;
  }
  const IoResult result = device->Read({static_cast<std::uint8_t*>(buffer), length});
  count = std::min(result.count, length);
  // A device that gave nothing, or nothing in time, is told as the real machine tells a
  // silent printer.
  const bool silent =
      result.ok ? count == 0 && length > 0 : result.error == platform::kErrorSemTimeout;
  if (silent) {
    platform::NoteFailureReason({platform::FailureKind::kNotAnswering, key, {}});
  }
  return Finish(result);
}

bool Machine::WriteFile(platform::Handle handle, const void* data, std::uint32_t length,
                        std::uint32_t* bytesWritten) {
  std::uint32_t ignored = 0;
  std::uint32_t& count = bytesWritten != nullptr ? *bytesWritten : ignored;
  count = 0;
  platform::Handle real = platform::kInvalidHandle;
  auto device = DeviceOf(handle, real);
  if (real != platform::kInvalidHandle) {
    return FromReal(platform::RealMachine().WriteFile(real, data, length, &count));
  }
  if (device == nullptr) {
    return false;
  }
  if (data == nullptr && length > 0) {
    SetLastError(platform::kErrorNoAccess);
    return false;
  }
  platform::BeginWriteCount();
  const IoResult result = device->Write({static_cast<const std::uint8_t*>(data), length});
  count = std::min(result.count, length);
  platform::CountBytesTaken(count);
  return Finish(result);
}

bool Machine::SetFilePointerEx(platform::Handle handle, std::int64_t distance,
                               std::int64_t* newPosition, std::uint32_t origin) {
  platform::Handle real = platform::kInvalidHandle;
  auto device = DeviceOf(handle, real);
  if (real != platform::kInvalidHandle) {
    return FromReal(platform::RealMachine().SetFilePointerEx(real, distance, newPosition, origin));
  }
  if (device != nullptr) {
    SetLastError(platform::kErrorInvalidFunction);  // a device has no file position
  }
  return false;
}

bool Machine::DeviceIoControl(platform::Handle handle, std::uint32_t code, const void* in,
                              std::uint32_t inLength, void* out, std::uint32_t outLength,
                              std::uint32_t* bytesReturned) {
  std::uint32_t ignored = 0;
  std::uint32_t& count = bytesReturned != nullptr ? *bytesReturned : ignored;
  count = 0;
  platform::Handle real = platform::kInvalidHandle;
  auto device = DeviceOf(handle, real);
  if (real != platform::kInvalidHandle) {
    return FromReal(
        platform::RealMachine().DeviceIoControl(real, code, in, inLength, out, outLength, &count));
  }
  if (device == nullptr) {
    return false;
  }
  if ((in == nullptr && inLength > 0) || (out == nullptr && outLength > 0)) {
    SetLastError(platform::kErrorNoAccess);
    return false;
  }
  const IoResult result = device->IoControl(code, {static_cast<const std::uint8_t*>(in), inLength},
                                            {static_cast<std::uint8_t*>(out), outLength});
  count = std::min(result.count, outLength);
  return Finish(result);
}

bool Machine::SetCommMask(platform::Handle handle, std::uint32_t mask) {
  platform::Handle real = platform::kInvalidHandle;
  auto device = DeviceOf(handle, real);
  if (real != platform::kInvalidHandle) {
    return FromReal(platform::RealMachine().SetCommMask(real, mask));
  }
  return device != nullptr && Finish(device->SetCommMask(mask));
}

bool Machine::SetupComm(platform::Handle handle, std::uint32_t inQueue, std::uint32_t outQueue) {
  platform::Handle real = platform::kInvalidHandle;
  auto device = DeviceOf(handle, real);
  if (real != platform::kInvalidHandle) {
    return FromReal(platform::RealMachine().SetupComm(real, inQueue, outQueue));
  }
  return device != nullptr && Finish(device->SetupComm(inQueue, outQueue));
}

bool Machine::GetCommState(platform::Handle handle, platform::CommState* state) {
  platform::Handle real = platform::kInvalidHandle;
  auto device = DeviceOf(handle, real);
  if (real != platform::kInvalidHandle) {
    return FromReal(platform::RealMachine().GetCommState(real, state));
  }
  if (device == nullptr) {
    return false;
  }
  platform::CommState current;
  const IoResult result = device->GetCommState(current);
  if (result.ok && state != nullptr) {
    *state = current;
  }
  return Finish(result);
}

bool Machine::SetCommState(platform::Handle handle, const platform::CommState& state) {
  platform::Handle real = platform::kInvalidHandle;
  auto device = DeviceOf(handle, real);
  if (real != platform::kInvalidHandle) {
    return FromReal(platform::RealMachine().SetCommState(real, state));
  }
  return device != nullptr && Finish(device->SetCommState(state));
}

bool Machine::SetCommTimeouts(platform::Handle handle, const platform::CommTimeouts& timeouts) {
  platform::Handle real = platform::kInvalidHandle;
  auto device = DeviceOf(handle, real);
  if (real != platform::kInvalidHandle) {
    return FromReal(platform::RealMachine().SetCommTimeouts(real, timeouts));
  }
  return device != nullptr && Finish(device->SetCommTimeouts(timeouts));
}

}  // namespace sim
