// How far the flash write's data stream has got, for a front end that shows the long transfer
// while the procedure is busy sending it: read from any thread, from the job's control and
// the port layer's count of the bytes the device has taken.
#pragma once

#include <chrono>
#include <cstdint>
#include <string>

#include "flashjobs/JobControl.h"

namespace flashjobs {

struct DataStreamProgress {
  JobControl::Stream state = JobControl::Stream::kNone;
  std::uint64_t sent = 0;               // bytes the device has taken, at most total
  std::uint64_t total = 0;              // the data file and its sum byte
  std::chrono::nanoseconds elapsed{0};  // since the stream began (until it ended)

  // The average since the stream began; 0 before any time has passed.
  double BytesPerSecond() const;
  // Whole per cent of the total sent, 0 to 100.
  int Percent() const;
};

DataStreamProgress CurrentDataStream(const JobControl& control);

// "1.2 MiB of 4.0 MiB, 95.3 KiB/s".
std::string DescribeDataStream(const DataStreamProgress& progress);

// A size as a person reads it: "512 bytes", "12.5 KiB", "4.0 MiB".
std::string ByteSize(double bytes);

}  // namespace flashjobs
