// The virtual printer's behaviour read from a profile file, section "Printer":
//   ControllerFW   four characters (configuration status reply bytes 2-5)
//   EngineFW       twelve characters (engine detail status reply bytes 20-31)
//   FlashSizeCode  hexadecimal, the capacity reply's byte 10 (40 = 8 Mbit)
//   AcceptJob      1 accepts Start Job, 0 refuses it
//   FailStatus     0, or the hexadecimal status code reported once the erase has finished
//   ProgressStep   decimal, progress units per status read (50 units = 100 %), at least 1
//   Stall          1: the erase stops halfway and the printer reports no news from then on
//   HostCommError  1: the printer status reply reports a host communication error
//   SilentAfter    decimal: the number of reads answered before the printer falls silent
//   BrokenAfter    decimal: the number of writes taken before every further write fails
//   PrintQueue     the name of a print queue on the simulated machine whose port is "LPT1:"
//                  (another driver holds the port, so opening it is refused); empty: none
//   Vid, Pid       hexadecimal, the USB vendor and product id the printer shows on USB
//                  (missing: those of the settings file, so that a default run finds it)
//   LinkSpeed      decimal, bytes per second the link to the printer carries (0: no limit),
//                  so that a transfer takes real time
// A key that is missing keeps the printer's default; a key the printer does not know is an
// error, as a malformed value is, so that a misspelt setting is never silently ignored.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "sim/printer/PrinterConfig.h"

namespace simulate {

inline constexpr const char* kPrinterSection = "Printer";

struct ProfileResult {
  sim::PrinterConfig config;
  std::string printQueue;  // a queue holding "LPT1:", or empty
  std::optional<std::uint16_t> usbVendorId;
  std::optional<std::uint16_t> usbProductId;
  std::uint32_t linkSpeed = 0;  // bytes per second from host to printer; 0: no limit
  std::string error;            // empty when the profile was read; else what is wrong with it
};

// The profile file, read once.
ProfileResult ReadPrinterProfile(const std::filesystem::path& file);

// A profile's text; source names it in the error texts.
ProfileResult ParsePrinterProfile(std::string_view text, std::string_view source);

// The keys section "Printer" may hold, in the order they are read.
std::vector<std::string> PrinterProfileKeys();

}  // namespace simulate
