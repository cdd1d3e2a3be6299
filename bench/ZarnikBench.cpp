// zarnik-bench CLI DIR [MEGABYTES] [REPEATS]
// Generates a print-data stream and a data file of at least MEGABYTES MiB in DIR, then times
// `cp` of each file and the zarnik-cli command that reads it (arrange-bands, check), each as a
// child process measured alone, best of REPEATS. Prints the tools' throughput as a ratio of
// cp's and their peak resident memory as a ratio of the input size. Exit status 1 when a goal
// is missed: at least half of cp's speed, peak memory below the input size.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "ChildRun.h"
#include "InputGenerator.h"

namespace {

namespace fs = std::filesystem;
using bench::ChildMeasurement;

constexpr double kMiB = 1024.0 * 1024.0;

// Best time and highest peak memory over the repeats; removes `cleanup` after each run.
ChildMeasurement Best(const std::vector<std::string>& command, int repeats,
                      const fs::path& cleanup) {
  ChildMeasurement best;
  best.seconds = 1e30;
  for (int run = 0; run < repeats; ++run) {
    const ChildMeasurement one = bench::RunChild(command);
    if (one.exitStatus != 0) {
      std::fprintf(stderr, "'%s' failed with status %d\n", command[0].c_str(), one.exitStatus);
      std::exit(2);
    }
    best.exitStatus = 0;
    best.seconds = std::min(best.seconds, one.seconds);
    best.peakResidentBytes = std::max(best.peakResidentBytes, one.peakResidentBytes);
    std::error_code error;
    fs::remove(cleanup, error);
  }
  return best;
}

// Reads the file once so that cp and the tool both find it in the page cache.
void Warm(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::vector<char> block(std::size_t{1} << 20);
  while (in.read(block.data(), static_cast<std::streamsize>(block.size())) || in.gcount() > 0) {
  }
}

bool Report(const char* name, std::uint64_t inputBytes, const ChildMeasurement& copy,
            const ChildMeasurement& tool) {
  const double speedRatio = copy.seconds / tool.seconds;
  const double memoryRatio =
      static_cast<double>(tool.peakResidentBytes) / static_cast<double>(inputBytes);
  const bool met = speedRatio >= 0.5 && memoryRatio < 1.0;
  std::printf(
      "%-14s %8.1f MiB  cp %6.3f s (%7.1f MiB/s)  tool %6.3f s (%7.1f MiB/s)  "
      "speed/cp %5.2f  peak RSS %6.1f MiB = %5.3f of input  %s\n",
      name, static_cast<double>(inputBytes) / kMiB, copy.seconds,
      static_cast<double>(inputBytes) / kMiB / copy.seconds, tool.seconds,
      static_cast<double>(inputBytes) / kMiB / tool.seconds, speedRatio,
      static_cast<double>(tool.peakResidentBytes) / kMiB, memoryRatio,
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
  const int repeats = argc > 4 ? static_cast<int>(std::strtol(argv[4], nullptr, 10)) : 3;
  fs::create_directories(dir);

  const fs::path stream = dir / "stream.prn";
  const fs::path payload = dir / "payload.bin";
  const fs::path dataFile = dir / "data.vop";
  const fs::path copy = dir / "copy";
  const std::uint64_t minimum = megabytes << 20U;
  const std::uint64_t streamBytes = bench::WritePrintDataStream(stream, minimum);
  bench::WritePayload(payload, minimum);
  Best({cli, "add-header", payload.string(), dataFile.string()}, 1, {});
  fs::remove(payload);
  const std::uint64_t dataBytes = fs::file_size(dataFile);

  Warm(stream);
  const ChildMeasurement copyStream = Best({"cp", stream.string(), copy.string()}, repeats, copy);
  const ChildMeasurement arrange =
      Best({cli, "arrange-bands", stream.string(), (dir / "arranged.prn").string()}, repeats,
           dir / "arranged.prn");
  Warm(dataFile);
  const ChildMeasurement copyData = Best({"cp", dataFile.string(), copy.string()}, repeats, copy);
  const ChildMeasurement check = Best({cli, "check", dataFile.string()}, repeats, {});

  std::printf("best of %d runs each; cp baseline measured in this run\n", repeats);
  const bool arrangeMet = Report("arrange-bands", streamBytes, copyStream, arrange);
  const bool checkMet = Report("check", dataBytes, copyData, check);
  return arrangeMet && checkMet ? 0 : 1;
}
