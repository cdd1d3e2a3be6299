// The bridge library called from several threads at once: every call succeeds, no two
// opens or I/O controls are in the driver at the same time, and nothing is left open.
#include <atomic>
#include <thread>
#include <vector>

#include "BridgeMachine.h"
#include "platform/Services.h"

namespace {

class BridgeThreadsTest : public bridge_test::BridgeTest {};

TEST_F(BridgeThreadsTest, CallsFromSeveralThreadsMeetOneAtATimeInTheDriver) {
  Plug();

  constexpr int kThreads = 6;
  constexpr int kRounds = 40;
  std::atomic<int> failures{0};
  std::vector<std::thread> threads;
  threads.reserve(kThreads);
  for (int t = 0; t < kThreads; ++t) {
    threads.emplace_back([&] {
      for (int round = 0; round < kRounds; ++round) {
        const std::int32_t id = VopUsb_Open();
        const VopUsbPipe pipe = VopUsb_OpenPipe(id, 0, 1);
        std::uint8_t reply[64] = {};
        std::uint8_t descriptor[18] = {};
        const bool ok = id >= 0 && pipe != -1 &&
                        VopUsb_ClassRequest(id, 1, 1, 0, 0, 0, sizeof reply, reply) != 0 &&
                        VopUsb_GetDeviceDescriptor(id, descriptor) == 1 &&
                        VopUsb_Check(id) == VOPUSB_CHECK_OK && VopUsb_ResetPipe(pipe) == 1;
        if (!ok) {
          ++failures;
        }
        platform::Current().CloseHandle(pipe);
        VopUsb_Close(id);
      }
    });
  }
  for (std::thread& thread : threads) {
    thread.join();
  }
  EXPECT_EQ(failures.load(), 0);
  EXPECT_EQ(crowd->most.load(), 1);
  EXPECT_EQ(machine.OpenHandleCount(), 0U);
}

}  // namespace
