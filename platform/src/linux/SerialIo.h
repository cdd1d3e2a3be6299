// Reads and writes on a serial line under its comm time-outs, with the Windows meaning of
// each time-out member, built on non-blocking descriptors and poll().
#pragma once

#include <cstdint>

#include "linux/HandleTable.h"

namespace platform::linux_backend {

// Reads until the buffer is full or a time-out ends the read:
// - interval kMaxDword with both totals 0: takes what has arrived and returns at once;
// - interval and multiplier kMaxDword with a constant between them: returns as soon as
//   anything has arrived, or after the constant with nothing;
// - otherwise a total of multiplier * length + constant ms (none when both are 0) and an
//   interval limit between two bytes once the first has come (none when 0).
// A time-out is not a failure: the result is true with the bytes that came, maybe none.
bool SerialRead(OpenFile& line, std::uint8_t* buffer, std::uint32_t length, std::uint32_t& count);

// Writes until everything has gone or the write total (multiplier * length + constant ms,
// none when both are 0) has passed; a time-out is not a failure, the count tells.
bool SerialWrite(OpenFile& line, const std::uint8_t* data, std::uint32_t length,
                 std::uint32_t& count);

}  // namespace platform::linux_backend
