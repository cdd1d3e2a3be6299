// Get Version: one job of Start Job, three Request Status frames and End Job, then one
// report of the controller and engine firmware versions.
#pragma once

#include <chrono>
#include <cstdint>

#include "flashjobs/JobControl.h"
#include "flashjobs/PortTarget.h"
#include "flashjobs/Wait.h"
#include "flashtools/FileTools.h"
#include "flashtools/UserInterface.h"

namespace flashjobs {

// Pause between the frames and their replies.
inline constexpr std::chrono::milliseconds kVersionQueryPause{100};

// Runs the query and shows the report (caption "Get Version", no icon) or the failure.
// A status request whose reply brings no bytes is a failed read. Once the printer has
// accepted the job, every stop (a failure, a host communication error, a stop asked through
// control) closes it with End Job.
// Returns kSucceeded when the report was shown, kFailed otherwise; the dialog closes either way.
flashtools::ToolResult GetVersion(std::uint8_t machineId, const PortTarget& port,
                                  std::uint8_t& commandNumber, flashtools::UserInterface& ui,
                                  const Wait& wait, JobControl& control);
// The same without a way to stop it from outside.
flashtools::ToolResult GetVersion(std::uint8_t machineId, const PortTarget& port,
                                  std::uint8_t& commandNumber, flashtools::UserInterface& ui,
                                  const Wait& wait);

}  // namespace flashjobs
