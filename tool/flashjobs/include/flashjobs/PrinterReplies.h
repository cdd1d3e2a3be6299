// The printer's replies as the printer-facing procedures read them: a 256-byte buffer and the
// number of bytes that actually came, and the byte positions each procedure takes from it.
// A reply is judged by the bytes that came: a position the printer did not send reads as 0,
// and where a 0 would mean "yes" (the job accepted) a missing position is no answer at all.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

namespace flashjobs {

struct Reply {
  static constexpr std::size_t kCapacity = 256;

  std::array<std::uint8_t, kCapacity> bytes{};
  std::size_t size = 0;  // bytes received, at most kCapacity

  bool Holds(std::size_t position) const { return position < size; }
  // The byte at the position, or 0 when the reply ended before it.
  std::uint8_t At(std::size_t position) const { return Holds(position) ? bytes[position] : 0; }
};

// The reply to Start Job.
enum class JobAnswer {
  kNoAnswer,  // the reply ended before its result byte
  kAccepted,
  kRefused,
};
JobAnswer StartJobAnswer(const Reply& reply);

// The flash size in Mbit from the capacity reply that follows the data stream: 2^(h-1) for
// the high four bits h = 1..8 of its byte 10, 0 (no usable flash) otherwise.
std::uint32_t FlashMbit(const Reply& reply);

// The flash status byte of a Status Display reply; 0 ("no news") when the reply is too short.
std::uint8_t FlashStatus(const Reply& reply);
// Whether the reply ended before its flash status byte.
bool FlashStatusMissing(const Reply& reply);

// Whether the printer status reply reports a host communication error.
bool ReportsHostCommunicationError(const Reply& reply);

// The least each status reply of the version query must bring for the positions read from it:
// the controller firmware at 2 to 5, the engine firmware at 20 to 31, the host status at 12.
// A shorter reply is an incomplete one (or a reply split in two), not a version of blanks.
inline constexpr std::size_t kConfigurationReplyLength = 6;
inline constexpr std::size_t kEngineDetailReplyLength = 32;
inline constexpr std::size_t kPrinterStatusReplyLength = 13;

// The version report from the configuration status reply (controller firmware) and the
// engine detail status reply (engine firmware). Each byte is one character: printable ASCII
// as it is, a zero byte (an unfilled position) as nothing, any other byte as '?', so that a
// printer's bytes never reach a terminal as control sequences.
std::string VersionReport(const Reply& configuration, const Reply& engineDetail);

}  // namespace flashjobs
