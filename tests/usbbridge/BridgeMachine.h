// The simulated machine with the virtual printer on the maker's USB device, the device seen
// through a recorder of every device I/O control it answers, for the bridge library's tests.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <mutex>
#include <utility>
#include <vector>

#include "VopUsb.h"
#include "sim/Machine.h"
#include "sim/MakerUsbDevice.h"
#include "sim/printer/PrinterOnMakerUsb.h"

namespace bridge_test {

using Bytes = std::vector<std::uint8_t>;

struct IoControlCall {
  std::uint32_t code;
  Bytes in;
  std::size_t outSize;
};

// Passes everything to the device behind it and keeps the I/O controls it was sent.
class Recorder final : public sim::Device {
 public:
  explicit Recorder(std::shared_ptr<sim::Device> device) : device_(std::move(device)) {}

  sim::IoResult Write(std::span<const std::uint8_t> data) override { return device_->Write(data); }
  sim::IoResult Read(std::span<std::uint8_t> buffer) override { return device_->Read(buffer); }
  sim::IoResult IoControl(std::uint32_t code, std::span<const std::uint8_t> in,
                          std::span<std::uint8_t> out) override {
    {
      std::lock_guard lock(mutex_);
      calls_.push_back({code, Bytes(in.begin(), in.end()), out.size()});
    }
    return device_->IoControl(code, in, out);
  }

  std::vector<IoControlCall> Calls() {
    std::lock_guard lock(mutex_);
    return calls_;
  }

 private:
  std::shared_ptr<sim::Device> device_;
  std::mutex mutex_;
  std::vector<IoControlCall> calls_;
};

class BridgeTest : public ::testing::Test {
 protected:
  BridgeTest() : install_(machine) {}
  // The device table outlives the test: nothing a test opened stays in it.
  void TearDown() override {
    for (std::int32_t id = 0; id < 128; ++id) {
      VopUsb_Close(id);
    }
  }

  // The virtual printer's device, listed under the maker's class.
  void Plug() {
    sim::AttachMakerUsbDevice(machine, usb.DevicePath(), recorder,
                              {usb.Pipe(sim::PrinterOnMakerUsb::kWritePipe),
                               usb.Pipe(sim::PrinterOnMakerUsb::kReadPipe)});
  }

  sim::Machine machine;
  std::shared_ptr<sim::VirtualPrinter> printer = std::make_shared<sim::VirtualPrinter>();
  sim::PrinterOnMakerUsb usb{printer};
  std::shared_ptr<Recorder> recorder = std::make_shared<Recorder>(usb.Node());

 private:
  sim::ScopedInstall install_;
};

}  // namespace bridge_test
