// The reason behind a failed port call, as the window and the command line show it under the
// port library's own text: plain words and what to do about it.
#pragma once

#include <string>

#include "platform/FailureReason.h"

namespace channel {

// One paragraph for the reason, followed by its detail on a line of its own when there is
// one; empty when nothing was noted.
std::string ExplainFailure(const platform::FailureReason& reason);

// The explanation of the reason noted for the last port library call.
std::string ExplainLastFailure();

}  // namespace channel
