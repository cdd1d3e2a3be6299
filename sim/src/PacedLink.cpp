#include "sim/PacedLink.h"

#include <algorithm>
#include <thread>

#include "platform/WriteProgress.h"

namespace sim {
namespace {

using std::chrono::steady_clock;

// A slice is what the link carries in 50 ms, so progress moves smoothly at any speed.
constexpr std::uint32_t kSlicesPerSecond = 20;
// Waits shorter than this are left owing and paid with a later one, so that a link fed a byte
// at a time keeps its average speed without sleeping for every byte.
constexpr auto kShortestSleep = std::chrono::milliseconds(1);

}  // namespace

PacedLink::PacedLink(std::shared_ptr<Device> device, std::uint32_t bytesPerSecond, Clock clock,
                     Sleep sleep)
    : PassThroughDevice(std::move(device)),
      bytesPerSecond_(std::max<std::uint32_t>(bytesPerSecond, 1)),
      clock_(clock ? std::move(clock) : Clock(steady_clock::now)),
      sleep_(sleep ? std::move(sleep)
                   : Sleep([](steady_clock::duration d) { std::this_thread::sleep_for(d); })) {}

void PacedLink::Carry(std::size_t count) {
  const steady_clock::time_point now = clock_();
  const auto time = std::chrono::duration_cast<steady_clock::duration>(
      std::chrono::duration<double>(static_cast<double>(count) / bytesPerSecond_));
  // A link that stood idle starts from now; one still busy carries on after what it had.
  lineFree_ = std::max(lineFree_, now) + time;
  if (lineFree_ - now >= kShortestSleep) {
    sleep_(lineFree_ - now);
  }
}

IoResult PacedLink::Write(std::span<const std::uint8_t> data) {
  if (data.empty()) {
    return Behind().Write(data);
  }
  const std::size_t slice = std::max<std::uint32_t>(bytesPerSecond_ / kSlicesPerSecond, 1);
  std::uint32_t taken = 0;
  while (taken < data.size()) {
    const std::size_t count = std::min(slice, data.size() - taken);
    Carry(count);
    const IoResult result = Behind().Write(data.subspan(taken, count));
    taken += std::min<std::uint32_t>(result.count, static_cast<std::uint32_t>(count));
    platform::CountBytesTaken(taken);
    if (!result.ok) {
      return {false, taken, result.error};
    }
    if (result.count < count) {
      break;  // the device took no more
    }
  }
  return IoResult::Done(taken);
}

}  // namespace sim
