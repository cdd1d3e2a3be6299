// The virtual printer as the printer maker's USB driver presents it. The device path (listed
// under the maker's device interface class) opens to the device itself, which answers the
// driver's device I/O controls: class requests of the printer class (the device
// identification, the port status, a soft reset), the device and configuration descriptors,
// a device reset and the health check. Its one interface, 0, has two bulk endpoints, each
// opened as a pipe: pipe 0 (endpoint 0x01) takes the host's bytes to the printer, pipe 1
// (endpoint 0x82) brings the printer's replies back. Vendor requests are not known and stall.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>

#include "sim/Device.h"
#include "sim/printer/VirtualPrinter.h"

namespace sim {

class PrinterOnMakerUsb {
 public:
  static constexpr std::uint16_t kVendorId = 0x5A52;
  static constexpr std::uint16_t kProductId = 0x0001;
  static constexpr std::uint8_t kWritePipe = 0;
  static constexpr std::uint8_t kReadPipe = 1;
  static constexpr std::uint8_t kPipeCount = 2;

  // The device reports the ids in its device descriptor and device path.
  explicit PrinterOnMakerUsb(const std::shared_ptr<VirtualPrinter>& printer,
                             std::uint16_t vendorId = kVendorId,
                             std::uint16_t productId = kProductId);

  // The device interface path, as the device-interface lists give it.
  const std::string& DevicePath() const { return path_; }
  // What the device path opens to.
  std::shared_ptr<Device> Node() const { return node_; }
  // What "<device path>\if000pipe<number>" opens to; null for a pipe that does not exist.
  std::shared_ptr<Device> Pipe(std::uint8_t number) const;

 private:
  std::string path_;
  std::shared_ptr<Device> node_;
  std::array<std::shared_ptr<Device>, kPipeCount> pipes_;
};

}  // namespace sim
