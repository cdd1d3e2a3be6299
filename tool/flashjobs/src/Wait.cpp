#include "flashjobs/Wait.h"

#include <thread>

namespace flashjobs {

void SleepOnThisThread(std::chrono::milliseconds period) {
  std::this_thread::sleep_for(period);
}

}  // namespace flashjobs
