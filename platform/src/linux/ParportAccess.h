// Register access to a parallel port on Linux: data, status and control through the
// kernel's ppdev driver (/dev/parportN, claimed while the port is in use, the data direction
// through its own call), the ECR and the ECP FIFO through raw port access (ioperm, or
// /dev/port) on a port the kernel knows to have them. The device stays open between claims,
// so the kernel keeps the port's state (lines and ECR) from one claim to the next.
#pragma once

#include <cstdint>
#include <string>

namespace platform::linux_backend {

class ParportAccess {
 public:
  ParportAccess() = default;
  ParportAccess(const ParportAccess&) = delete;
  ParportAccess& operator=(const ParportAccess&) = delete;
  ~ParportAccess();

  // Each fails with the last error set and a failure reason noted.
  bool Claim(std::uint16_t base);
  void Release();
  bool In(std::uint16_t address, std::uint8_t& value);
  bool Out(std::uint16_t address, std::uint8_t value);

 private:
  bool Open(std::uint16_t base);
  // Readies raw access to the ECP registers the first time they are used.
  bool RawReady();
  bool RawIn(std::uint16_t offset, std::uint8_t& value);
  bool RawOut(std::uint16_t offset, std::uint8_t value);
  bool Ioctl(unsigned long request, void* argument);
  bool Refuse(std::uint32_t error);

  int fd_ = -1;
  std::string device_;
  std::string procDir_;
  std::uint16_t base_ = 0;
  std::uint16_t ecrBase_ = 0;
  bool claimed_ = false;
  bool reverse_ = false;
  enum class Raw { kUnknown, kIoperm, kDevPort } raw_ = Raw::kUnknown;
  int devPort_ = -1;
};

}  // namespace platform::linux_backend
