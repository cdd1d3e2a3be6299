// The three file tools: check a data file, wrap a file into a data file, and merge the bands
// of a print-data stream. They work on local files only and report through UserInterface.
#pragma once

#include <filesystem>

#include "flashtools/UserInterface.h"

namespace flashtools {

// How a tool run ended, and whether its dialog closes afterwards.
enum class ToolResult {
  kSucceeded,       // the work is done; the dialog closes
  kFailed,          // a failure was reported; the dialog closes
  kFailedKeepOpen,  // a failure was reported; the dialog stays open for another try
};

ToolResult CheckFileFormat(const std::filesystem::path& file, UserInterface& ui);
ToolResult AddHeader(const std::filesystem::path& input, const std::filesystem::path& output,
                     UserInterface& ui);
ToolResult ArrangeBands(const std::filesystem::path& input, const std::filesystem::path& output,
                        UserInterface& ui);

// For a front end that runs the tools on its only thread: an input that exists but is not a
// regular file (a FIFO waiting for a writer, a device without end) could hold that thread
// for good, so it is refused with a message. False when refused. A missing input is left to
// the tool's own message.
bool RegularInputOrRefused(const std::filesystem::path& input, UserInterface& ui);

}  // namespace flashtools
