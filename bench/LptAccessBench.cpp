// zarnik-lpt-bench: register accesses per byte of the three direct-access write modes,
// counted by the simulated machine while the port library writes to a printer that never
// holds Busy, against the floor each mode can reach: Standard one status read, the byte,
// strobe on and strobe off (4); the FIFO modes one access per byte and one FIFO-empty test
// per dwFifoSize bytes.
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <vector>

#include "VopP2.h"
#include "sim/Machine.h"
#include "sim/ParallelPortChip.h"
#include "sim/VersionRecords.h"
#include "sim/printer/Ieee1284Printer.h"

namespace {

// A printer that takes every byte at once and keeps only the count.
class Sink final : public sim::Device {
 public:
  sim::IoResult Write(std::span<const std::uint8_t> data) override {
    taken += data.size();
    return sim::IoResult::Done(static_cast<std::uint32_t>(data.size()));
  }
  sim::IoResult Read(std::span<std::uint8_t> /*buffer*/) override { return sim::IoResult::Done(0); }
  std::uint64_t taken = 0;
};

struct Mode {
  const char* name;
  std::uint32_t lptMode;
};

}  // namespace

int main(int argc, char** argv) {
  std::uint32_t bytes = 65536;
  if (argc > 1) {
    char* end = nullptr;
    bytes = static_cast<std::uint32_t>(std::strtoul(argv[1], &end, 10));
    if (*end != '\0' || bytes == 0) {
      std::fprintf(stderr, "usage: zarnik-lpt-bench [BYTES]\n");
      return 2;
    }
  }
  std::vector<std::uint8_t> data(bytes);
  for (std::uint32_t i = 0; i < bytes; ++i) {
    data[i] = static_cast<std::uint8_t>(i * 7);
  }
  const std::uint32_t fifoSize = VopP2GetParamPtr()->dwFifoSize;
  std::printf("Register accesses per byte, %u bytes, printer never busy, dwFifoSize %u\n", bytes,
              fifoSize);
  std::printf("%-18s %10s %10s %10s %10s %8s\n", "mode", "reads", "writes", "per byte", "floor",
              "ratio");
  int status = 0;
  for (const Mode mode : {Mode{"Standard", 1}, Mode{"ParallelPortFIFO", 2}, Mode{"ECPFIFO", 3}}) {
    sim::Machine machine;
    sim::ScopedInstall installed(machine);
    machine.SetVersion(sim::Windows98());
    auto printer = std::make_shared<Sink>();
    auto chip = std::make_shared<sim::ParallelPortChip>();
    chip->Connect(std::make_shared<sim::Ieee1284Printer>(
        printer, [&machine] { return machine.NowMilliseconds(); }));
    machine.AttachPortRegisters(chip);
    VopP2GetParamPtr()->dwLptMode = mode.lptMode;
    std::uint32_t written = 0;
    if (VopP2Write(PORT_LPT, data.data(), bytes, &written) == 0 || printer->taken != bytes) {
      std::printf("%-18s failed: %s", mode.name, VopP2GetMessage());
      status = 1;
      continue;
    }
    const sim::Machine::PortAccessCounts counts = machine.PortAccesses();
    const double perByte = static_cast<double>(counts.reads + counts.writes) / bytes;
    const double floor = mode.lptMode == 1 ? 4.0 : 1.0 + 1.0 / fifoSize;
    std::printf("%-18s %10llu %10llu %10.4f %10.4f %8.4f\n", mode.name,
                static_cast<unsigned long long>(counts.reads),
                static_cast<unsigned long long>(counts.writes), perByte, floor, perByte / floor);
  }
  return status;
}
