// The simulated machine: every service of the platform interface, with the version record,
// clock, debug output, devices, registry, device interfaces, port registers and modules in
// the test's hands. Paths in the Windows device namespace ("\\.\NAME") reach only the devices
// attached here; ordinary paths go to the real file system, so capture files are real files.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Services.h"
#include "sim/Device.h"
#include "sim/DeviceInterfaces.h"
#include "sim/PortRegisters.h"
#include "sim/Registry.h"

namespace sim {

class Machine final : public platform::Services {
 public:
  Machine();
  ~Machine() override;

  // --- the test's side ---
  // The record GetVersionEx reports; Windows XP until told otherwise.
  void SetVersion(const platform::OsVersionInfo& record);

  // The virtual clock moves only when Sleep is called, when the test advances it, or by a
  // step on every clock reading (for code that polls the clock without sleeping).
  void AdvanceClock(std::uint32_t milliseconds);
  void SetTickCount(std::uint32_t tick);
  void SetTimeOfDaySeconds(std::uint32_t seconds);
  void SetClockStepPerReading(std::uint32_t milliseconds);
  std::uint64_t SleptMilliseconds() const;

  // Every OutputDebugString text not forwarded, one entry per call, in order.
  std::vector<std::string> DebugLines() const;
  void ClearDebugLines();
  // Hands every debug text to the real machine's debug sink instead of keeping it (a program
  // on the simulated machine shows its debug output where it would without simulation).
  void ForwardDebugOutput(bool forward);

  // Devices by path (letter case ignored). Handles still open on a detached device fail
  // with kErrorDeviceNotConnected, as on an unplugged device.
  void AttachDevice(std::string_view path, std::shared_ptr<Device> device);
  void DetachDevice(std::string_view path);
  // Handles open on devices and real files.
  std::size_t OpenHandleCount() const;

  Registry& registry() { return registry_; }
  DeviceInterfaces& deviceInterfaces() { return interfaces_; }

  // What answers the port registers at its base. A claim of any other base fails as "not
  // found"; an access outside a claim, or outside the claimed port's registers, fails.
  void AttachPortRegisters(std::shared_ptr<PortRegisters> registers);
  // Register reads and writes since the machine started or the counts were reset.
  struct PortAccessCounts {
    std::uint64_t reads = 0;
    std::uint64_t writes = 0;
  };
  PortAccessCounts PortAccesses() const;
  void ResetPortAccesses();
  // From now on every access to address fails with error (0: accesses work again).
  void FailPortAccess(std::uint16_t address, std::uint32_t error);
  // The virtual clock in milliseconds, read without moving it (for the simulated devices).
  std::uint64_t NowMilliseconds() const;

  // Stand-in modules: LoadLibrary of the name (letter case ignored) gives a module whose
  // GetProcAddress answers from symbols. Other names go to the real loader unless real
  // modules are refused, in which case they are not found.
  void RegisterModule(std::string_view name, std::map<std::string, void*> symbols);
  void UnregisterModule(std::string_view name);
  void AllowRealModules(bool allowed);
  // Loads of a stand-in module not freed yet.
  int ModuleReferences(std::string_view name) const;

  // --- platform::Services ---
  platform::Handle CreateFile(const char* path, std::uint32_t access, std::uint32_t share,
                              std::uint32_t disposition, std::uint32_t attributes) override;
  bool ReadFile(platform::Handle handle, void* buffer, std::uint32_t length,
                std::uint32_t* bytesRead) override;
  bool WriteFile(platform::Handle handle, const void* data, std::uint32_t length,
                 std::uint32_t* bytesWritten) override;
  bool SetFilePointerEx(platform::Handle handle, std::int64_t distance, std::int64_t* newPosition,
                        std::uint32_t origin) override;
  bool CloseHandle(platform::Handle handle) override;
  bool DeviceIoControl(platform::Handle handle, std::uint32_t code, const void* in,
                       std::uint32_t inLength, void* out, std::uint32_t outLength,
                       std::uint32_t* bytesReturned) override;

  bool SetCommMask(platform::Handle handle, std::uint32_t mask) override;
  bool SetupComm(platform::Handle handle, std::uint32_t inQueue, std::uint32_t outQueue) override;
  bool GetCommState(platform::Handle handle, platform::CommState* state) override;
  bool SetCommState(platform::Handle handle, const platform::CommState& state) override;
  bool SetCommTimeouts(platform::Handle handle, const platform::CommTimeouts& timeouts) override;

  bool GetVersionEx(platform::OsVersionInfo* info) override;

  std::uint32_t GetTickCount() override;
  std::uint32_t GetTimeOfDaySeconds() override;
  void Sleep(std::uint32_t milliseconds) override;

  void OutputDebugString(const char* text) override;

  std::uint32_t GetLastError() override;
  void SetLastError(std::uint32_t error) override;

  platform::ModuleHandle LoadLibrary(const char* name) override;
  void* GetProcAddress(platform::ModuleHandle module, const char* name) override;
  bool FreeLibrary(platform::ModuleHandle module) override;
  std::uint32_t GetModuleFileName(char* buffer, std::uint32_t size) override;

  std::int32_t RegOpenKeyEx(platform::RegistryKey key, const char* subKey, std::uint32_t access,
                            platform::RegistryKey* result) override;
  std::int32_t RegEnumKeyEx(platform::RegistryKey key, std::uint32_t index, char* name,
                            std::uint32_t* nameLength) override;
  std::int32_t RegQueryValueEx(platform::RegistryKey key, const char* valueName,
                               std::uint32_t* type, void* data, std::uint32_t* dataLength) override;
  std::int32_t RegCloseKey(platform::RegistryKey key) override;

  platform::DeviceInfoSet SetupDiGetClassDevs(const platform::Guid& interfaceClass,
                                              std::uint32_t flags) override;
  bool SetupDiEnumDeviceInterfaces(platform::DeviceInfoSet set,
                                   const platform::Guid& interfaceClass, std::uint32_t memberIndex,
                                   platform::DeviceInterfaceData* data) override;
  bool SetupDiGetDeviceInterfaceDetail(platform::DeviceInfoSet set,
                                       const platform::DeviceInterfaceData& data, void* detail,
                                       std::uint32_t detailSize,
                                       std::uint32_t* requiredSize) override;
  bool SetupDiDestroyDeviceInfoList(platform::DeviceInfoSet set) override;

  bool ClaimPort(std::uint16_t base) override;
  void ReleasePort(std::uint16_t base) override;
  bool PortIn(std::uint16_t address, std::uint8_t* value) override;
  bool PortOut(std::uint16_t address, std::uint8_t value) override;

 private:
  // An open handle: on an attached device (by its path key) or on a real file.
  struct OpenHandle {
    std::shared_ptr<Device> device;
    std::string key;
    platform::Handle real = platform::kInvalidHandle;
  };
  struct StandInModule {
    std::map<std::string, void*> symbols;
    int references = 0;
  };

  // The device behind a handle, or null after setting the last error (invalid handle,
  // device detached). real receives the real handle when it is a real file, key (when given)
  // the name the device was opened by.
  std::shared_ptr<Device> DeviceOf(platform::Handle handle, platform::Handle& real,
                                   std::string* key = nullptr);
  // Finishes a device operation: sets the last error from result, returns result.ok.
  bool Finish(const IoResult& result);
  // Takes over the real backend's last error and returns ok.
  bool FromReal(bool ok);
  void AdvanceLocked(std::uint64_t milliseconds);
  // The registers answering an access to address, counted as a read or a write; null after
  // setting the last error when the access fails.
  std::shared_ptr<PortRegisters> PortFor(std::uint16_t address, bool write);

  mutable std::mutex mutex_;
  platform::OsVersionInfo version_;
  std::uint32_t tick_ = 0x00010000;
  std::uint64_t timeOfDayMs_ = 12ULL * 3600 * 1000;
  std::uint32_t stepPerReading_ = 0;
  std::uint64_t slept_ = 0;
  std::vector<std::string> debugLines_;
  bool forwardDebug_ = false;
  std::map<std::string, std::shared_ptr<Device>> devices_;  // by lower-case path
  std::map<platform::Handle, OpenHandle> handles_;
  platform::Handle nextHandle_ = 0x1000;
  Registry registry_;
  DeviceInterfaces interfaces_;
  std::shared_ptr<PortRegisters> ports_;
  bool portClaimed_ = false;
  PortAccessCounts portAccesses_;
  std::uint16_t failingPort_ = 0;
  std::uint32_t failingPortError_ = 0;
  std::map<std::string, std::unique_ptr<StandInModule>> modules_;  // by lower-case name
  bool realModules_ = true;
};

// Installs a backend for the life of the object and puts the previous one back after.
class ScopedInstall {
 public:
  explicit ScopedInstall(platform::Services& backend) : previous_(platform::Install(&backend)) {}
  ScopedInstall(const ScopedInstall&) = delete;
  ScopedInstall& operator=(const ScopedInstall&) = delete;
  ~ScopedInstall() { platform::Install(previous_); }

 private:
  platform::Services* previous_;
};

}  // namespace sim
