// zarnik-bench CLI DIR [MEGABYTES] [REPEATS]
// Generates a print-data stream and a payload of at least MEGABYTES MiB in DIR and times, on
// the same files in the same run, each file tool against the system tool doing the same
// reading and writing: check against `cat FILE > /dev/null` (with the file read from the disk,
// and from the file cache), arrange-bands against `cp`, add-header against `cat IN > OUT`.
// Each pair runs alternately REPEATS times as child processes, measured alone; the best times
// are compared, the tool's highest peak resident memory is set against the input size. Then it
// measures the flash write's peak memory for a 16 MiB data file on the simulated printer. Exit
// status 1 when a goal is missed.
#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "ChildRun.h"
#include "FileCache.h"
#include "FlashMemory.h"
#include "InputGenerator.h"

namespace {

namespace fs = std::filesystem;
using bench::ChildMeasurement;

constexpr double kMiB = 1024.0 * 1024.0;
// A file tool's peak memory stays below this whatever the input size.
constexpr double kToolMemoryGoalMiB = 16.0;

// One file tool and the system command it is measured against.
struct Comparison {
  const char* name;
  const char* baselineName;
  std::vector<std::string> baseline;
  std::string baselineOutput;  // the baseline's standard output
  std::vector<std::string> tool;
  std::vector<fs::path> outputs;  // removed after each run
  fs::path input;
  std::uint64_t inputBytes;
  double speedGoal;  // the tool's speed as a share of the baseline's, at least; 0: none
  bool fromDisk;     // the input is dropped from the file cache before each run
};

struct Outcome {
  ChildMeasurement baseline;
  ChildMeasurement tool;
};

ChildMeasurement RunOnce(const std::vector<std::string>& command, const std::string& output,
                         const std::vector<fs::path>& outputs) {
  const ChildMeasurement one = bench::RunChild(command, output);
  if (one.exitStatus != 0) {
    std::fprintf(stderr, "'%s' failed with status %d\n", command[0].c_str(), one.exitStatus);
    std::exit(2);
  }
  for (const fs::path& path : outputs) {
    std::error_code error;
    fs::remove(path, error);
  }
  return one;
}

// Alternates the two so that both meet the same load on the machine; keeps the best times.
Outcome Measure(const Comparison& comparison, int repeats) {
  Outcome outcome;
  outcome.baseline.seconds = outcome.tool.seconds = 1e30;
  const auto prepare = [&comparison] {
    if (comparison.fromDisk) {
      bench::Evict(comparison.input);
    } else {
      bench::Warm(comparison.input);
    }
  };
  for (int run = 0; run < repeats; ++run) {
    prepare();
    const ChildMeasurement base =
        RunOnce(comparison.baseline, comparison.baselineOutput, comparison.outputs);
    prepare();
    const ChildMeasurement tool = RunOnce(comparison.tool, "/dev/null", comparison.outputs);
    outcome.baseline.seconds = std::min(outcome.baseline.seconds, base.seconds);
    outcome.tool.seconds = std::min(outcome.tool.seconds, tool.seconds);
    outcome.tool.peakResidentBytes =
        std::max(outcome.tool.peakResidentBytes, tool.peakResidentBytes);
  }
  return outcome;
}

bool Report(const Comparison& comparison, const Outcome& outcome) {
  const double mib = static_cast<double>(comparison.inputBytes) / kMiB;
  const double speed = outcome.baseline.seconds / outcome.tool.seconds;
  const double memory = static_cast<double>(outcome.tool.peakResidentBytes) / kMiB;
  const bool met = speed >= comparison.speedGoal && memory < kToolMemoryGoalMiB;
  std::array<char, 32> goal{"no goal"};
  if (comparison.speedGoal > 0) {
    std::snprintf(goal.data(), goal.size(), "goal %4.2f", comparison.speedGoal);
  }
  std::printf(
      "%-13s %6.1f MiB %-10s  %-14s %6.3f s  tool %6.3f s (%6.0f MiB/s)  speed %4.2f of it "
      "(%s)  peak RSS %5.1f MiB = %5.3f of input  %s\n",
      comparison.name, mib, comparison.fromDisk ? "from disk" : "from cache",
      comparison.baselineName, outcome.baseline.seconds, outcome.tool.seconds,
      mib / outcome.tool.seconds, speed, goal.data(), memory, memory / mib,
      met ? "goal met" : "GOAL MISSED");
  return met;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: zarnik-bench CLI DIR [MEGABYTES] [REPEATS]\n");
    return 2;
  }
  const std::string cli = argv[1];
  const fs::path dir = argv[2];
  const std::uint64_t megabytes = argc > 3 ? std::strtoull(argv[3], nullptr, 10) : 256;
  const int repeats = argc > 4 ? static_cast<int>(std::strtol(argv[4], nullptr, 10)) : 5;
  fs::create_directories(dir);

  const fs::path stream = dir / "stream.prn";
  const fs::path payload = dir / "payload.bin";
  const fs::path dataFile = dir / "data.vop";
  const std::uint64_t streamBytes = bench::WritePrintDataStream(stream, megabytes << 20U);
  bench::WritePayload(payload, megabytes << 20U);
  RunOnce({cli, "add-header", payload.string(), dataFile.string()}, "/dev/null", {});
  const std::uint64_t payloadBytes = fs::file_size(payload);
  const std::uint64_t dataBytes = fs::file_size(dataFile);

  const fs::path copy = dir / "copy";
  const fs::path result = dir / "result";
  // A byte sum is cheaper than reading from the disk, not than copying out of the file cache:
  // the check's goal is set from the disk, its speed from the cache is shown beside it.
  const auto checkAgainstCat = [&](double speedGoal, bool fromDisk) {
    return Comparison{"check",
                      "cat >/dev/null",
                      {"cat", dataFile.string()},
                      "/dev/null",
                      {cli, "check", dataFile.string()},
                      {},
                      dataFile,
                      dataBytes,
                      speedGoal,
                      fromDisk};
  };
  const std::vector<Comparison> comparisons{
      checkAgainstCat(1.0, true),
      checkAgainstCat(0.0, false),
      {"arrange-bands",
       "cp",
       {"cp", stream.string(), copy.string()},
       "/dev/null",
       {cli, "arrange-bands", stream.string(), result.string()},
       {copy, result},
       stream,
       streamBytes,
       0.9,
       false},
      {"add-header",
       "cat IN >OUT",
       {"cat", payload.string()},
       copy.string(),
       {cli, "add-header", payload.string(), result.string()},
       {copy, result},
       payload,
       payloadBytes,
       0.9,
       false},
  };

  std::printf("best of %d alternating runs each; baselines measured in this run\n", repeats);
  bool met = true;
  for (const Comparison& comparison : comparisons) {
    met = Report(comparison, Measure(comparison, repeats)) && met;
  }
  fs::remove(stream);
  fs::remove(payload);
  fs::remove(dataFile);
  met = bench::ReportFlashWriteMemory(cli, dir) && met;
  return met ? 0 : 1;
}
