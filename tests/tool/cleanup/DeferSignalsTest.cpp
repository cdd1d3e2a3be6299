// A signal that arrives while work must be closed first asks the work to stop and ends the
// program only once the guard is gone; a second SIGINT or SIGTERM ends it at once.
#include "cleanup/DeferSignals.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <atomic>

namespace {

std::atomic<int> stops{0};

void CountStop(void* context) {
  static_cast<std::atomic<int>*>(context)->fetch_add(1);
}

TEST(DeferSignalsDeathTest, TheProgramEndsByTheSignalOnlyAfterTheWorkStopped) {
  EXPECT_EXIT(
      {
        {
          const cleanup::DeferSignals guard(CountStop, &stops);
          ::raise(SIGTERM);
          if (stops.load() != 1) {
            ::_exit(3);  // the work was not asked to stop
          }
          const ssize_t told = ::write(STDERR_FILENO, "closed", 6);
          static_cast<void>(told);
        }
        ::_exit(4);  // the kept signal was not raised again
      },
      ::testing::KilledBySignal(SIGTERM), "closed");
  EXPECT_EXIT(
      {
        const cleanup::DeferSignals guard(CountStop, &stops);
        ::raise(SIGTERM);
        ::raise(SIGINT);
        ::_exit(4);  // the second signal did not end the program
      },
      ::testing::KilledBySignal(SIGINT), "");
  // A closed terminal's second SIGHUP, and a logout's SIGTERM after it, ask nothing again.
  EXPECT_EXIT(
      {
        {
          const cleanup::DeferSignals guard(CountStop, &stops);
          ::raise(SIGHUP);
          ::raise(SIGHUP);
          ::raise(SIGTERM);
          const ssize_t told = ::write(STDERR_FILENO, "closed", 6);
          static_cast<void>(told);
        }
        ::_exit(4);
      },
      ::testing::KilledBySignal(SIGHUP), "closed");
}

}  // namespace
