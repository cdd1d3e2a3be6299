#include "FlashMemory.h"

#include <cstdio>
#include <fstream>
#include <vector>

#include "ChildRun.h"
#include "InputGenerator.h"

namespace bench {
namespace {

namespace fs = std::filesystem;

constexpr double kMiB = 1024.0 * 1024.0;
constexpr std::uint64_t kDataFileBytes = std::uint64_t{16} << 20;
constexpr std::uint64_t kHeaderAndSumBytes = 257;
constexpr double kMemoryGoal = 1.5;

void WriteText(const fs::path& path, const char* text) {
  std::ofstream(path, std::ios::binary | std::ios::trunc) << text;
}

// A data file of exactly bytes bytes (at least the header and sum), made by add-header.
bool MakeDataFile(const std::string& cli, const fs::path& file, std::uint64_t bytes) {
  const fs::path payload = fs::path(file).replace_extension(".bin");
  WritePayload(payload, bytes - kHeaderAndSumBytes);
  const bool made = RunChild({cli, "add-header", payload.string(), file.string()}).exitStatus == 0;
  fs::remove(payload);
  return made;
}

}  // namespace

bool ReportFlashWriteMemory(const std::string& cli, const fs::path& dir) {
  const fs::path settings = dir / "bench.ini";
  const fs::path profile = dir / "printer.ini";
  const fs::path large = dir / "flash.vop";
  const fs::path empty = dir / "empty.vop";
  WriteText(settings, "[System]\nOutput=0\n");
  // 128 Mbit holds the 16 MiB file; full progress steps keep the status polling short.
  WriteText(profile, "[Printer]\nFlashSizeCode=80\nProgressStep=50\n");
  if (!MakeDataFile(cli, large, kDataFileBytes) || !MakeDataFile(cli, empty, kHeaderAndSumBytes)) {
    std::fprintf(stderr, "cannot make the data files for the flash write\n");
    return false;
  }

  std::vector<ChildMeasurement> runs;
  for (const fs::path& file : {large, empty}) {
    runs.push_back(RunChild({cli, "--settings", settings.string(), "--simulate", "--sim-config",
                             profile.string(), "flash", file.string(), "--type", "demo", "--yes"}));
    if (runs.back().exitStatus != 0) {
      std::fprintf(stderr, "the flash write of %s failed with status %d\n", file.c_str(),
                   runs.back().exitStatus);
      return false;
    }
  }
  for (const fs::path& path : {settings, profile, large, empty}) {
    fs::remove(path);
  }

  const double peak = static_cast<double>(runs[0].peakResidentBytes) / kMiB;
  const double base = static_cast<double>(runs[1].peakResidentBytes) / kMiB;
  const double file = static_cast<double>(kDataFileBytes) / kMiB;
  const double share = (peak - base) / file;
  const bool met = share < kMemoryGoal;
  std::printf(
      "flash write   %6.1f MiB data file, simulated printer: peak RSS %5.1f MiB; with an empty "
      "data file %5.1f MiB; the file adds %5.1f MiB = %4.2f of its size (goal below %4.2f)  %s\n",
      file, peak, base, peak - base, share, kMemoryGoal, met ? "goal met" : "GOAL MISSED");
  return met;
}

}  // namespace bench
