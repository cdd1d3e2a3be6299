#include "platform/WriteProgress.h"

#include <atomic>

namespace platform {
namespace {

std::atomic<std::uint64_t> total{0};
// The bytes already added for the write under way on this thread.
thread_local std::uint64_t countedOfWrite = 0;

}  // namespace

void BeginWriteCount() {
  countedOfWrite = 0;
}

void CountBytesTaken(std::uint64_t takenSoFar) {
  if (takenSoFar > countedOfWrite) {
    total.fetch_add(takenSoFar - countedOfWrite);
    countedOfWrite = takenSoFar;
  }
}

std::uint64_t BytesTakenSinceStart() {
  return total.load();
}

}  // namespace platform
