// The procedures on the simulated machine: Windows XP, the virtual printer on the parallel
// port's driver device, the real port library and port channel in between.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <string_view>
#include <vector>

#include "RecordingUi.h"
#include "flashjobs/PortTarget.h"
#include "flashjobs/PrinterReplies.h"
#include "flashjobs/StatusDisplay.h"
#include "sim/Machine.h"
#include "sim/printer/PrinterOnLptDriver.h"

namespace flashjobs::test {

using Bytes = std::vector<std::uint8_t>;

// The printer's driver device, with a hook that runs after a given write reached it.
class HookedLptDevice : public sim::Device {
 public:
  explicit HookedLptDevice(std::shared_ptr<sim::VirtualPrinter> printer) : device_(printer) {}
  sim::IoResult Write(std::span<const std::uint8_t> data) override;
  sim::IoResult Read(std::span<std::uint8_t> buffer) override;
  sim::IoResult IoControl(std::uint32_t code, std::span<const std::uint8_t> in,
                          std::span<std::uint8_t> out) override {
    return device_.IoControl(code, in, out);
  }

  int failWrite = -1;        // this write fails without reaching the printer; 1 is the first
  int cutWrite = -1;         // this write brings the printer only its first half
  int cutCountedWrite = -1;  // as cutWrite, but fails with every byte counted (a FIFO's way)
  int hookAfterWrite = -1;   // this write runs the hook once the printer has it
  std::function<void()> hook;
  int answeredReads = -1;  // reads that reach the printer; every later one brings no bytes
  std::size_t replyLimit = Reply::kCapacity;  // bytes a read brings at most

 private:
  sim::PrinterOnLptDriver device_;
  int writes_ = 0;
  int reads_ = 0;
};

// Drives the poller to its end with no real waiting; a display left waiting is cancelled.
class ImmediateDisplay : public StatusDisplay {
 public:
  void Run(StatusPoller& poller) override;

  int runs = 0;
  TickResult end;
  std::uint32_t ticks = 0;
};

class OnSimulatedMachine : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // Puts a printer with this behaviour on "\\.\LPT1".
  void AttachPrinter(sim::PrinterConfig config = {});

  // A file in the test's own folder.
  std::filesystem::path FilePath(const std::string& name) const { return folder_ / name; }
  std::filesystem::path WriteFile(const std::string& name, const Bytes& bytes) const;

  // Frames the printer took, as received.
  const std::vector<Bytes>& Frames() const { return printer->Frames(); }
  sim::Machine& Machine() { return machine_; }

  PortTarget lpt{1, 0, ""};
  RecordingUi ui;
  ImmediateDisplay display;
  std::shared_ptr<sim::VirtualPrinter> printer;
  std::shared_ptr<HookedLptDevice> device;

 private:
  sim::Machine machine_;
  platform::Services* previous_ = nullptr;
  std::filesystem::path folder_;
};

// The same, for tests that need the parallel port's driver path of the port library: they
// are skipped, saying so, while the library has none.
class OverLptDriver : public OnSimulatedMachine {
 protected:
  void SetUp() override;
};

// A data file: the 256-byte header with this type, target and options, the payload, its sum.
Bytes MakeDataFile(std::uint8_t typeFlags, const Bytes& payload, std::uint8_t options = 0x91);
Bytes CountingPayload(std::size_t size);
// Bytes written as hexadecimal pairs separated by spaces.
Bytes Hex(std::string_view text);

}  // namespace flashjobs::test
