// The simulated machine with the virtual printer on the maker's USB device, the device seen
// through a recorder of every device I/O control it answers, for the bridge library's tests.
#pragma once

#include <gtest/gtest.h>

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <thread>
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

// How many opens and I/O controls are inside the recorded devices at once, and the most seen.
struct Crowd {
  std::atomic<int> inside{0};
  std::atomic<int> most{0};
};

// Passes everything to the device behind it, keeps the I/O controls it was sent and counts
// the opens and I/O controls inside it.
class Recorder final : public sim::Device {
 public:
  Recorder(std::shared_ptr<sim::Device> device, std::shared_ptr<Crowd> crowd)
      : device_(std::move(device)), crowd_(std::move(crowd)) {}

  sim::IoResult Open() override {
    Enter();
    const sim::IoResult result = device_->Open();
    --crowd_->inside;
    return result;
  }
  sim::IoResult Write(std::span<const std::uint8_t> data) override { return device_->Write(data); }
  sim::IoResult Read(std::span<std::uint8_t> buffer) override { return device_->Read(buffer); }
  sim::IoResult IoControl(std::uint32_t code, std::span<const std::uint8_t> in,
                          std::span<std::uint8_t> out) override {
    Enter();
    {
      std::lock_guard lock(mutex_);
      calls_.push_back({code, Bytes(in.begin(), in.end()), out.size()});
    }
    const sim::IoResult result = device_->IoControl(code, in, out);
    --crowd_->inside;
    return result;
  }

  std::vector<IoControlCall> Calls() {
    std::lock_guard lock(mutex_);
    return calls_;
  }

 private:
  void Enter() {
    const int now = ++crowd_->inside;
    int seen = crowd_->most.load();
    while (now > seen && !crowd_->most.compare_exchange_weak(seen, now)) {
    }
    std::this_thread::yield();  // give another thread the chance to come in
  }

  std::shared_ptr<sim::Device> device_;
  std::shared_ptr<Crowd> crowd_;
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
                              {std::make_shared<Recorder>(usb.Pipe(0), crowd),
                               std::make_shared<Recorder>(usb.Pipe(1), crowd)});
  }

  sim::Machine machine;
  std::shared_ptr<sim::VirtualPrinter> printer = std::make_shared<sim::VirtualPrinter>();
  sim::PrinterOnMakerUsb usb{printer};
  std::shared_ptr<Crowd> crowd = std::make_shared<Crowd>();
  std::shared_ptr<Recorder> recorder = std::make_shared<Recorder>(usb.Node(), crowd);

 private:
  sim::ScopedInstall install_;
};

}  // namespace bridge_test
