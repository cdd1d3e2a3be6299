// The simulated machine: version record, virtual clock, debug capture, last error,
// registry, device interfaces and port registers.
#include "sim/Machine.h"

#include <cstdio>
#include <utility>

#include "platform/FailureReason.h"
#include "sim/VersionRecords.h"

namespace sim {

namespace {
thread_local std::uint32_t lastError = platform::kErrorSuccess;
}  // namespace

Machine::Machine() : version_(WindowsXp()) {}

Machine::~Machine() {
  // Handles still open when the test ends are closed with the machine.
  for (auto& [handle, open] : handles_) {
    if (open.real != platform::kInvalidHandle) {
      platform::RealMachine().CloseHandle(open.real);
    } else {
      open.device->Close();
    }
  }
}

void Machine::SetVersion(const platform::OsVersionInfo& record) {
  std::lock_guard lock(mutex_);
  version_ = record;
}

bool Machine::GetVersionEx(platform::OsVersionInfo* info) {
  if (info == nullptr || info->dwOSVersionInfoSize != sizeof(platform::OsVersionInfo)) {
    SetLastError(platform::kErrorInsufficientBuffer);
    return false;
  }
  std::lock_guard lock(mutex_);
  *info = version_;
  info->dwOSVersionInfoSize = sizeof(platform::OsVersionInfo);
  return true;
}

void Machine::AdvanceLocked(std::uint64_t milliseconds) {
  tick_ += static_cast<std::uint32_t>(milliseconds);
  timeOfDayMs_ += milliseconds;
}

void Machine::AdvanceClock(std::uint32_t milliseconds) {
  std::lock_guard lock(mutex_);
  AdvanceLocked(milliseconds);
}

void Machine::SetTickCount(std::uint32_t tick) {
  std::lock_guard lock(mutex_);
  tick_ = tick;
}

void Machine::SetTimeOfDaySeconds(std::uint32_t seconds) {
  std::lock_guard lock(mutex_);
  timeOfDayMs_ = std::uint64_t{seconds} * 1000;
}

void Machine::SetClockStepPerReading(std::uint32_t milliseconds) {
  std::lock_guard lock(mutex_);
  stepPerReading_ = milliseconds;
}

std::uint64_t Machine::SleptMilliseconds() const {
  std::lock_guard lock(mutex_);
  return slept_;
}

std::uint32_t Machine::GetTickCount() {
  std::lock_guard lock(mutex_);
  AdvanceLocked(stepPerReading_);
  return tick_;
}

std::uint32_t Machine::GetTimeOfDaySeconds() {
  std::lock_guard lock(mutex_);
  AdvanceLocked(stepPerReading_);
  return static_cast<std::uint32_t>(timeOfDayMs_ / 1000);
}

void Machine::Sleep(std::uint32_t milliseconds) {
  std::lock_guard lock(mutex_);
  slept_ += milliseconds;
  AdvanceLocked(milliseconds);
}

void Machine::OutputDebugString(const char* text) {
  bool forward = false;
  {
    std::lock_guard lock(mutex_);
    forward = forwardDebug_;
    // Lines passed on are not kept as well: a program polling for hours would grow by them.
    if (!forward) {
      debugLines_.emplace_back(text != nullptr ? text : "");
    }
  }
  if (forward) {
    platform::RealMachine().OutputDebugString(text);
  }
}

void Machine::ForwardDebugOutput(bool forward) {
  std::lock_guard lock(mutex_);
  forwardDebug_ = forward;
}

std::vector<std::string> Machine::DebugLines() const {
  std::lock_guard lock(mutex_);
  return debugLines_;
}

void Machine::ClearDebugLines() {
  std::lock_guard lock(mutex_);
  debugLines_.clear();
}

std::uint32_t Machine::GetLastError() {
  return lastError;
}

void Machine::SetLastError(std::uint32_t error) {
  lastError = error;
}

std::int32_t Machine::RegOpenKeyEx(platform::RegistryKey key, const char* subKey,
                                   std::uint32_t /*access*/, platform::RegistryKey* result) {
  return registry_.OpenKey(key, subKey, result);
}

std::int32_t Machine::RegEnumKeyEx(platform::RegistryKey key, std::uint32_t index, char* name,
                                   std::uint32_t* nameLength) {
  return registry_.EnumKey(key, index, name, nameLength);
}

std::int32_t Machine::RegQueryValueEx(platform::RegistryKey key, const char* valueName,
                                      std::uint32_t* type, void* data, std::uint32_t* dataLength) {
  return registry_.QueryValue(key, valueName, type, data, dataLength);
}

std::int32_t Machine::RegCloseKey(platform::RegistryKey key) {
  return registry_.CloseKey(key);
}

platform::DeviceInfoSet Machine::SetupDiGetClassDevs(const platform::Guid& interfaceClass,
                                                     std::uint32_t /*flags*/) {
  return interfaces_.GetClassDevs(interfaceClass);
}

bool Machine::SetupDiEnumDeviceInterfaces(platform::DeviceInfoSet set,
                                          const platform::Guid& interfaceClass,
                                          std::uint32_t memberIndex,
                                          platform::DeviceInterfaceData* data) {
  std::uint32_t error = 0;
  if (interfaces_.Sets().Enum(set, interfaceClass, memberIndex, data, error)) {
    return true;
  }
  SetLastError(error);
  return false;
}

bool Machine::SetupDiGetDeviceInterfaceDetail(platform::DeviceInfoSet set,
                                              const platform::DeviceInterfaceData& data,
                                              void* detail, std::uint32_t detailSize,
                                              std::uint32_t* requiredSize) {
  std::uint32_t error = 0;
  if (interfaces_.Sets().Detail(set, data, detail, detailSize, requiredSize, error)) {
    return true;
  }
  SetLastError(error);
  return false;
}

bool Machine::SetupDiDestroyDeviceInfoList(platform::DeviceInfoSet set) {
  std::uint32_t error = 0;
  if (interfaces_.Sets().Destroy(set, error)) {
    return true;
  }
  SetLastError(error);
  return false;
}

void Machine::AttachPortRegisters(std::shared_ptr<PortRegisters> registers) {
  std::lock_guard lock(mutex_);
  ports_ = std::move(registers);
}

Machine::PortAccessCounts Machine::PortAccesses() const {
  std::lock_guard lock(mutex_);
  return portAccesses_;
}

void Machine::ResetPortAccesses() {
  std::lock_guard lock(mutex_);
  portAccesses_ = {};
}

void Machine::FailPortAccess(std::uint16_t address, std::uint32_t error) {
  std::lock_guard lock(mutex_);
  failingPort_ = address;
  failingPortError_ = error;
}

std::uint64_t Machine::NowMilliseconds() const {
  std::lock_guard lock(mutex_);
  return timeOfDayMs_;
}

bool Machine::ClaimPort(std::uint16_t base) {
  std::lock_guard lock(mutex_);
  if (ports_ == nullptr || ports_->Base() != base) {
    char device[48];
    std::snprintf(device, sizeof device, "The parallel port at I/O address 0x%X",
                  static_cast<unsigned>(base));
    platform::NoteFailureReason({platform::FailureKind::kNotFound, device, {}});
    SetLastError(platform::kErrorFileNotFound);
    return false;
  }
  if (portClaimed_) {
    SetLastError(platform::kErrorSharingViolation);
    return false;
  }
  portClaimed_ = true;
  return true;
}

void Machine::ReleasePort(std::uint16_t /*base*/) {
  std::lock_guard lock(mutex_);
  portClaimed_ = false;
}

std::shared_ptr<PortRegisters> Machine::PortFor(std::uint16_t address, bool write) {
  std::lock_guard lock(mutex_);
  if (!portClaimed_ || ports_ == nullptr) {
    SetLastError(platform::kErrorInvalidHandle);
    return nullptr;
  }
  const auto offset = static_cast<std::uint16_t>(address - ports_->Base());
  if (offset > 0x402 || (offset > 2 && offset < 0x400)) {
    SetLastError(platform::kErrorInvalidParameter);
    return nullptr;
  }
  if (failingPortError_ != 0 && address == failingPort_) {
    SetLastError(failingPortError_);
    return nullptr;
  }
  ++(write ? portAccesses_.writes : portAccesses_.reads);
  return ports_;
}

// The registers are called outside the machine's lock: a peripheral reads the clock.
bool Machine::PortIn(std::uint16_t address, std::uint8_t* value) {
  const std::shared_ptr<PortRegisters> ports = PortFor(address, false);
  if (ports == nullptr) {
    return false;
  }
  *value = ports->In(address);
  return true;
}

bool Machine::PortOut(std::uint16_t address, std::uint8_t value) {
  const std::shared_ptr<PortRegisters> ports = PortFor(address, true);
  if (ports == nullptr) {
    return false;
  }
  ports->Out(address, value);
  return true;
}

}  // namespace sim
