// The bridge library called from several threads at once: every call succeeds, no two
// opens or I/O controls are in the driver at the same time, and nothing is left open.
#include <algorithm>
#include <atomic>
#include <thread>

#include "BridgeMachine.h"
#include "platform/Services.h"

namespace {

// Notes how many opens and I/O controls are inside the device at once.
class Crowding final : public sim::Device {
 public:
  Crowding(std::shared_ptr<sim::Device> device, std::atomic<int>& inside, std::atomic<int>& most)
      : device_(std::move(device)), inside_(inside), most_(most) {}

  sim::IoResult Open() override {
    Enter();
    const sim::IoResult result = device_->Open();
    --inside_;
    return result;
  }
  sim::IoResult Write(std::span<const std::uint8_t> data) override { return device_->Write(data); }
  sim::IoResult Read(std::span<std::uint8_t> buffer) override { return device_->Read(buffer); }
  sim::IoResult IoControl(std::uint32_t code, std::span<const std::uint8_t> in,
                          std::span<std::uint8_t> out) override {
    Enter();
    const sim::IoResult result = device_->IoControl(code, in, out);
    --inside_;
    return result;
  }

 private:
  void Enter() {
    const int now = ++inside_;
    int seen = most_.load();
    while (now > seen && !most_.compare_exchange_weak(seen, now)) {
    }
    std::this_thread::yield();  // give another thread the chance to come in
  }

  std::shared_ptr<sim::Device> device_;
  std::atomic<int>& inside_;
  std::atomic<int>& most_;
};

TEST(BridgeThreadsTest, CallsFromSeveralThreadsMeetOneAtATimeInTheDriver) {
  sim::Machine machine;
  const sim::ScopedInstall install(machine);
  auto printer = std::make_shared<sim::VirtualPrinter>();
  const sim::PrinterOnMakerUsb usb(printer);
  std::atomic<int> inside{0};
  std::atomic<int> most{0};
  auto crowded = [&](std::shared_ptr<sim::Device> device) {
    return std::make_shared<Crowding>(std::move(device), inside, most);
  };
  sim::AttachMakerUsbDevice(machine, usb.DevicePath(), crowded(usb.Node()),
                            {crowded(usb.Pipe(0)), crowded(usb.Pipe(1))});

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
  EXPECT_EQ(most.load(), 1);
  EXPECT_EQ(machine.OpenHandleCount(), 0U);
}

}  // namespace
