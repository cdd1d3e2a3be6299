// The operating-system services that the port library and the USB bridge call, one operation
// per service, with the arguments, results and "last error" those callers expect of the
// Windows call of the same name. Backends: the real Linux machine (the default) and the
// simulated machine of sim/, which tests and --simulate install in its place.
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/WinApi.h"

#if defined(_WIN32)
#define ZARNIK_PLATFORM_API __declspec(dllexport)
#else
#define ZARNIK_PLATFORM_API __attribute__((visibility("default")))
#endif

namespace platform {

class ZARNIK_PLATFORM_API Services {
 public:
  Services() = default;
  Services(const Services&) = delete;
  Services& operator=(const Services&) = delete;
  virtual ~Services();

  // Files, devices and pipes. Every failing call sets the last error.
  virtual Handle CreateFile(const char* path, std::uint32_t access, std::uint32_t share,
                            std::uint32_t disposition, std::uint32_t attributes) = 0;
  virtual bool ReadFile(Handle handle, void* buffer, std::uint32_t length,
                        std::uint32_t* bytesRead) = 0;
  virtual bool WriteFile(Handle handle, const void* data, std::uint32_t length,
                         std::uint32_t* bytesWritten) = 0;
  // Moves the file position by distance from origin (kFileBegin, kFileCurrent, kFileEnd), at
  // any file size; newPosition (may be null) receives the new position. A handle without a
  // position (a pipe, a terminal, a device) fails with kErrorInvalidFunction.
  virtual bool SetFilePointerEx(Handle handle, std::int64_t distance, std::int64_t* newPosition,
                                std::uint32_t origin) = 0;
  virtual bool CloseHandle(Handle handle) = 0;
  virtual bool DeviceIoControl(Handle handle, std::uint32_t code, const void* in,
                               std::uint32_t inLength, void* out, std::uint32_t outLength,
                               std::uint32_t* bytesReturned) = 0;

  // Serial lines.
  virtual bool SetCommMask(Handle handle, std::uint32_t mask) = 0;
  virtual bool SetupComm(Handle handle, std::uint32_t inQueue, std::uint32_t outQueue) = 0;
  virtual bool GetCommState(Handle handle, CommState* state) = 0;
  virtual bool SetCommState(Handle handle, const CommState& state) = 0;
  virtual bool SetCommTimeouts(Handle handle, const CommTimeouts& timeouts) = 0;

  // Version record; the backend decides which record it reports.
  virtual bool GetVersionEx(OsVersionInfo* info) = 0;

  // Clocks: milliseconds since start (wraps), time of day in whole seconds, and a sleep.
  virtual std::uint32_t GetTickCount() = 0;
  virtual std::uint32_t GetTimeOfDaySeconds() = 0;
  virtual void Sleep(std::uint32_t milliseconds) = 0;

  // Debug output sink.
  virtual void OutputDebugString(const char* text) = 0;

  // Last error of the calling thread.
  virtual std::uint32_t GetLastError() = 0;
  virtual void SetLastError(std::uint32_t error) = 0;

  // Modules loaded at run time by name ("vopusb").
  virtual ModuleHandle LoadLibrary(const char* name) = 0;
  virtual void* GetProcAddress(ModuleHandle module, const char* name) = 0;
  virtual bool FreeLibrary(ModuleHandle module) = 0;
  // Full path of the running program; returns its length, 0 on failure.
  virtual std::uint32_t GetModuleFileName(char* buffer, std::uint32_t size) = 0;

  // Registry (read side). Results are registry status codes, kRegSuccess on success.
  virtual std::int32_t RegOpenKeyEx(RegistryKey key, const char* subKey, std::uint32_t access,
                                    RegistryKey* result) = 0;
  // nameLength: in, the buffer size in characters; out, the name's length without its end.
  virtual std::int32_t RegEnumKeyEx(RegistryKey key, std::uint32_t index, char* name,
                                    std::uint32_t* nameLength) = 0;
  virtual std::int32_t RegQueryValueEx(RegistryKey key, const char* valueName, std::uint32_t* type,
                                       void* data, std::uint32_t* dataLength) = 0;
  virtual std::int32_t RegCloseKey(RegistryKey key) = 0;

  // Device-interface enumeration.
  virtual DeviceInfoSet SetupDiGetClassDevs(const Guid& interfaceClass, std::uint32_t flags) = 0;
  virtual bool SetupDiEnumDeviceInterfaces(DeviceInfoSet set, const Guid& interfaceClass,
                                           std::uint32_t memberIndex,
                                           DeviceInterfaceData* data) = 0;
  // detail: a record of detailSize bytes (size field, then the path), or null to ask for
  // the size, which fails with kErrorInsufficientBuffer and sets *requiredSize.
  virtual bool SetupDiGetDeviceInterfaceDetail(DeviceInfoSet set, const DeviceInterfaceData& data,
                                               void* detail, std::uint32_t detailSize,
                                               std::uint32_t* requiredSize) = 0;
  virtual bool SetupDiDestroyDeviceInfoList(DeviceInfoSet set) = 0;

  // The parallel port's registers by I/O address: data, status and control at base,
  // base + 1 and base + 2, the ECP data FIFO and the extended control register at
  // base + 0x400 and base + 0x402. Register accesses happen only while the port whose
  // registers start at base is claimed; a claim fails when that port or the access method it
  // needs is missing. Every access can fail (no port, no permission, the device went away):
  // false, with the last error set and a failure reason noted; a failed read leaves *value.
  virtual bool ClaimPort(std::uint16_t base) = 0;
  virtual void ReleasePort(std::uint16_t base) = 0;
  virtual bool PortIn(std::uint16_t address, std::uint8_t* value) = 0;
  virtual bool PortOut(std::uint16_t address, std::uint8_t value) = 0;
};

// The backend in use. Until something is installed this is the real machine.
ZARNIK_PLATFORM_API Services& Current();

// The real machine's backend, whatever is installed. The simulated machine hands the paths
// it does not simulate (ordinary files) to it.
ZARNIK_PLATFORM_API Services& RealMachine();

// Puts a backend in place (the caller keeps ownership); null brings back the real machine.
// Returns the backend that was in place before.
ZARNIK_PLATFORM_API Services* Install(Services* backend);

}  // namespace platform
