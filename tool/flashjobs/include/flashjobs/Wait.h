// A pause between two steps of a procedure. The programs wait for real; tests pass a wait
// that only records, so a run with many pauses takes no time.
#pragma once

#include <chrono>
#include <functional>

namespace flashjobs {

using Wait = std::function<void(std::chrono::milliseconds)>;

// Sleeps the calling thread.
void SleepOnThisThread(std::chrono::milliseconds period);

}  // namespace flashjobs
