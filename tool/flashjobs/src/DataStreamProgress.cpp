#include "flashjobs/DataStreamProgress.h"

#include <algorithm>
#include <array>
#include <cstdio>

#include "platform/WriteProgress.h"

namespace flashjobs {

double DataStreamProgress::BytesPerSecond() const {
  const double seconds = std::chrono::duration<double>(elapsed).count();
  return seconds > 0 ? static_cast<double>(sent) / seconds : 0.0;
}

int DataStreamProgress::Percent() const {
  return total == 0 ? 0 : static_cast<int>(sent * 100 / total);
}

DataStreamProgress CurrentDataStream(const JobControl& control) {
  DataStreamProgress progress;
  progress.state = control.StreamState();
  if (progress.state == JobControl::Stream::kNone) {
    return progress;
  }
  progress.total = control.StreamLength();
  std::int64_t until = 0;
  if (progress.state == JobControl::Stream::kSent) {
    progress.sent = control.StreamSent();
    until = control.StreamEndNs();
  } else {
    // The count covers every write of the process; during the stream only the stream writes.
    progress.sent = platform::BytesTakenSinceStart() - control.StreamBase();
    until = std::chrono::duration_cast<std::chrono::nanoseconds>(
                std::chrono::steady_clock::now().time_since_epoch())
                .count();
  }
  progress.sent = std::min(progress.sent, progress.total);
  progress.elapsed =
      std::chrono::nanoseconds(std::max<std::int64_t>(until - control.StreamStartNs(), 0));
  return progress;
}

std::string ByteSize(double bytes) {
  constexpr std::array<const char*, 3> kUnits{"KiB", "MiB", "GiB"};
  if (bytes < 1024) {
    return std::to_string(static_cast<std::uint64_t>(bytes)) + " bytes";
  }
  std::size_t unit = 0;
  bytes /= 1024;
  while (bytes >= 1024 && unit + 1 < kUnits.size()) {
    bytes /= 1024;
    ++unit;
  }
  std::array<char, 32> text{};
  std::snprintf(text.data(), text.size(), "%.1f %s", bytes, kUnits[unit]);
  return text.data();
}

std::string DescribeDataStream(const DataStreamProgress& progress) {
  return ByteSize(static_cast<double>(progress.sent)) + " of " +
         ByteSize(static_cast<double>(progress.total)) + ", " +
         ByteSize(progress.BytesPerSecond()) + "/s";
}

}  // namespace flashjobs
