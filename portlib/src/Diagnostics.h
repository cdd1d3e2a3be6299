// Debug output gated by the debug level, and the one failure path of the library.
#pragma once

#include <cstdint>

namespace vopp2 {

// Debug-line thresholds: a line is written when the debug level is at least its threshold.
inline constexpr std::int32_t kLevelFailure = -1;
inline constexpr std::int32_t kLevelUsbUnknownOs = 20;
inline constexpr std::int32_t kLevelOsValues = 30;
inline constexpr std::int32_t kLevelExport = 40;
inline constexpr std::int32_t kLevelTransfer = 50;
inline constexpr std::int32_t kLevelPortFunction = 60;
inline constexpr std::int32_t kLevelModeFunction = 80;
// The USB device search: its two passes, each search, and the keys and ids it compares.
inline constexpr std::int32_t kLevelUsbSearchPass = 90;
inline constexpr std::int32_t kLevelUsbSearch = 100;
inline constexpr std::int32_t kLevelUsbSearchDetail = 110;

// Writes the formatted line to the debug output when the level allows it.
void DebugLine(std::int32_t threshold, const char* format, ...)
    __attribute__((format(printf, 2, 3)));

// At level -1 or more: writes the text to the debug output and keeps it, cut to 511
// characters, as the last message. Below -1 nothing is written or kept.
void ReportFailure(const char* format, ...) __attribute__((format(printf, 1, 2)));

}  // namespace vopp2
