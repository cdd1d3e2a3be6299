// Section "System" of the settings file: the command panel's own settings and the
// process-wide port settings, read at start-up by the window and the command line alike.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "channel/PortSettings.h"
#include "settings/ProfileFile.h"

namespace channel {

inline constexpr std::string_view kSystemSection = "System";

// The command panel's settings (the ones a tool dialog is handed).
struct PanelSettings {
  std::int32_t output = 1;  // index in the Output list: 0 "LPT1:", 1 "USB"
  std::int32_t mode = 0;    // transfer mode index: 0 Standard, 1 Parallel Port FIFO, 2 ECP FIFO
  std::string outputFile;
  std::int32_t timeOut = 10;
  std::string logFile;
  std::int32_t enableLog = 0;  // 0 or 1
};

// Reads every key of the section except the window position, fills the port settings record
// (its time-out from "TimeOut"), and returns the panel's settings. The four delay keys read
// as 0 (missing or written as 0) get their defaults written into the file and used, and
// "Vid"/"Pid" read as "0000" are written back as "0000", so these keys are always present.
// The file is read once, by the first of these reads unless it was loaded before, and what
// is written back is written in one rewrite.
PanelSettings LoadSystemSettings(const settings::ProfileFile& file, PortSettings& record);

// Writes the keys saved before each tool starts: "Output", "Mode", "OutputFile", "TimeOut",
// "LogFile", "EnableLog" (as 1 or 0) and "DebugLevel" from the record, in this order and in
// one rewrite of the file. Returns false when they could not be written (then none is).
bool SaveToolStartSettings(const settings::ProfileFile& file, const PanelSettings& panel,
                           const PortSettings& record);

}  // namespace channel
