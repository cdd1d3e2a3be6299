#include "protocol/FrameSum.h"

#include <array>

namespace protocol {
namespace {

// Sixteen 8-bit sums, each wrapping on its own; the compiler adds them as one vector.
using Lanes = std::array<std::uint8_t, 16>;

void AddInto(Lanes& lanes, const std::uint8_t* bytes) {
  for (std::size_t lane = 0; lane < lanes.size(); ++lane) {
    lanes[lane] = static_cast<std::uint8_t>(lanes[lane] + bytes[lane]);
  }
}

}  // namespace

std::uint8_t FrameSum(const std::uint8_t* bytes, std::size_t count, std::uint8_t start) {
  // Only the low 8 bits of the sum count, so the bytes may be summed in lanes that wrap
  // independently and are folded together at the end. Four sets of lanes keep four vector
  // additions under way at once.
  constexpr std::size_t kLanes = std::tuple_size_v<Lanes>;
  Lanes first{};
  Lanes second{};
  Lanes third{};
  Lanes fourth{};
  for (; count >= 4 * kLanes; count -= 4 * kLanes, bytes += 4 * kLanes) {
    AddInto(first, bytes);
    AddInto(second, bytes + kLanes);
    AddInto(third, bytes + 2 * kLanes);
    AddInto(fourth, bytes + 3 * kLanes);
  }
  for (; count >= kLanes; count -= kLanes, bytes += kLanes) {
    AddInto(first, bytes);
  }
  AddInto(first, second.data());
  AddInto(third, fourth.data());
  AddInto(first, third.data());
  std::uint8_t sum = start;
  for (std::size_t i = 0; i < count; ++i) {
    sum = static_cast<std::uint8_t>(sum + bytes[i]);
  }
  for (const std::uint8_t lane : first) {
    sum = static_cast<std::uint8_t>(sum + lane);
  }
  return sum;
}

}  // namespace protocol
