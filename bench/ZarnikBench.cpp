// zarnik-bench CLI DIR [MEGABYTES] [REPEATS]
// Generates a print-data stream and a payload of at least MEGABYTES MiB in DIR and times, on
// the same files in the same run, each file tool against the system tool doing the same
// reading and writing: check against `cat FILE > /dev/null`, arrange-bands against `cp`,
// add-header against `cat IN > OUT`. Each pair runs alternately REPEATS times as child
// processes, measured alone; the best times are compared, the tool's highest peak resident
// memory is set against the input size. Then it measures the flash write's peak memory for a
// 16 MiB data file on the simulated printer. Exit status 1 when a goal is missed.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "ChildRun.h"
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
  std::uint64_t inputBytes;
  double speedGoal;  // the tool's speed as a share of the baseline's, at least
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
  for (int run = 0; run < repeats; ++run) {
    const ChildMeasurement base =
        RunOnce(comparison.baseline, comparison.baselineOutput, comparison.outputs);
    const ChildMeasurement tool = RunOnce(comparison.tool, "/dev/null", comparison.outputs);
    outcome.baseline.seconds = std::min(outcome.baseline.seconds, base.seconds);
    outcome.tool.seconds = std::min(outcome.tool.seconds, tool.seconds);
    outcome.tool.peakResidentBytes =
        std::max(outcome.tool.peakResidentBytes, tool.peakResidentBytes);
  }
  return outcome;
}

// Reads the file once so that every run finds it in the page cache.
void Warm(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::vector<char> block(std::size_t{1} << 20);
  while (in.read(block.data(), static_cast<std::streamsize>(block.size())) || in.gcount() > 0) {
  }
}

bool Report(const Comparison& comparison, const Outcome& outcome) {
  const double mib = static_cast<double>(comparison.inputBytes) / kMiB;
  const double speed = outcome.baseline.seconds / outcome.tool.seconds;
  const double memory = static_cast<double>(outcome.tool.peakResidentBytes) / kMiB;
  const bool met = speed >= comparison.speedGoal && memory < kToolMemoryGoalMiB;
  std::printf(
      "%-13s %6.1f MiB  %-12s %6.3f s  tool %6.3f s (%6.0f MiB/s)  speed %4.2f of it "
      "(goal %4.2f)  peak RSS %5.1f MiB = %5.3f of input  %s\n",
      comparison.name, mib, comparison.baselineName, outcome.baseline.seconds, outcome.tool.seconds,
      mib / outcome.tool.seconds, speed, comparison.speedGoal, memory, memory / mib,
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
  for (const fs::path& path : {stream, payload, dataFile}) {
    Warm(path);
  }

  const fs::path copy = dir / "copy";
  const fs::path result = dir / "result";
  const std::vector<Comparison> comparisons{
      {"check",
       "cat >/dev/null",
       {"cat", dataFile.string()},
       "/dev/null",
       {cli, "check", dataFile.string()},
       {},
       dataBytes,
       1.0},
      {"arrange-bands",
       "cp",
       {"cp", stream.string(), copy.string()},
       "/dev/null",
       {cli, "arrange-bands", stream.string(), result.string()},
       {copy, result},
       streamBytes,
       0.9},
      {"add-header",
       "cat IN >OUT",
       {"cat", payload.string()},
       copy.string(),
       {cli, "add-header", payload.string(), result.string()},
       {copy, result},
       payloadBytes,
       0.9},
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
