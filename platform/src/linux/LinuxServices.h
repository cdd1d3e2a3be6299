// The real machine: every service of the platform interface on Linux. The members are
// defined by area in the files beside this one (Files.cpp, SerialLine.cpp, Registry.cpp, ...).
#pragma once

#include "linux/HandleTable.h"
#include "linux/ParportAccess.h"
#include "linux/PrinterRegistry.h"
#include "linux/UsbDeviceClasses.h"
#include "platform/Services.h"

namespace platform::linux_backend {

class LinuxServices final : public Services {
 public:
  Handle CreateFile(const char* path, std::uint32_t access, std::uint32_t share,
                    std::uint32_t disposition, std::uint32_t attributes) override;
  bool ReadFile(Handle handle, void* buffer, std::uint32_t length,
                std::uint32_t* bytesRead) override;
  bool WriteFile(Handle handle, const void* data, std::uint32_t length,
                 std::uint32_t* bytesWritten) override;
  bool SetFilePointerEx(Handle handle, std::int64_t distance, std::int64_t* newPosition,
                        std::uint32_t origin) override;
  bool CloseHandle(Handle handle) override;
  bool DeviceIoControl(Handle handle, std::uint32_t code, const void* in, std::uint32_t inLength,
                       void* out, std::uint32_t outLength, std::uint32_t* bytesReturned) override;

  bool SetCommMask(Handle handle, std::uint32_t mask) override;
  bool SetupComm(Handle handle, std::uint32_t inQueue, std::uint32_t outQueue) override;
  bool GetCommState(Handle handle, CommState* state) override;
  bool SetCommState(Handle handle, const CommState& state) override;
  bool SetCommTimeouts(Handle handle, const CommTimeouts& timeouts) override;

  bool GetVersionEx(OsVersionInfo* info) override;

  std::uint32_t GetTickCount() override;
  std::uint32_t GetTimeOfDaySeconds() override;
  void Sleep(std::uint32_t milliseconds) override;

  void OutputDebugString(const char* text) override;

  std::uint32_t GetLastError() override;
  void SetLastError(std::uint32_t error) override;

  ModuleHandle LoadLibrary(const char* name) override;
  void* GetProcAddress(ModuleHandle module, const char* name) override;
  bool FreeLibrary(ModuleHandle module) override;
  std::uint32_t GetModuleFileName(char* buffer, std::uint32_t size) override;

  std::int32_t RegOpenKeyEx(RegistryKey key, const char* subKey, std::uint32_t access,
                            RegistryKey* result) override;
  std::int32_t RegEnumKeyEx(RegistryKey key, std::uint32_t index, char* name,
                            std::uint32_t* nameLength) override;
  std::int32_t RegQueryValueEx(RegistryKey key, const char* valueName, std::uint32_t* type,
                               void* data, std::uint32_t* dataLength) override;
  std::int32_t RegCloseKey(RegistryKey key) override;

  DeviceInfoSet SetupDiGetClassDevs(const Guid& interfaceClass, std::uint32_t flags) override;
  bool SetupDiEnumDeviceInterfaces(DeviceInfoSet set, const Guid& interfaceClass,
                                   std::uint32_t memberIndex, DeviceInterfaceData* data) override;
  bool SetupDiGetDeviceInterfaceDetail(DeviceInfoSet set, const DeviceInterfaceData& data,
                                       void* detail, std::uint32_t detailSize,
                                       std::uint32_t* requiredSize) override;
  bool SetupDiDestroyDeviceInfoList(DeviceInfoSet set) override;

  bool ClaimPort(std::uint16_t base) override;
  void ReleasePort(std::uint16_t base) override;
  bool PortIn(std::uint16_t address, std::uint8_t* value) override;
  bool PortOut(std::uint16_t address, std::uint8_t value) override;

 private:
  // Looks the handle up; on failure sets the last error to kErrorInvalidHandle.
  std::shared_ptr<OpenFile> Find(Handle handle);
  // As Find, and also fails (kErrorInvalidFunction) when the handle is not a serial line.
  std::shared_ptr<OpenFile> FindSerial(Handle handle);

  HandleTable handles_;
  PrinterRegistry printers_;
  ParportAccess parport_;
  UsbDeviceClasses usbClasses_;
};

}  // namespace platform::linux_backend
