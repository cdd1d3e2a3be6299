// The reason behind a failed port call, as the window and the command line show it under the
// port library's own text: plain words and what to do about it.
#pragma once

#include <string>
#include <string_view>

#include "platform/FailureReason.h"

namespace channel {

// One paragraph for the reason, followed by its detail on a line of its own when there is
// one; empty when nothing was noted.
std::string ExplainFailure(const platform::FailureReason& reason);

// The explanation of the reason noted for the last port library call.
std::string ExplainLastFailure();

// Whether a message with this caption tells of a failure: the tools' own ("Error"), the port's
// ("Tessik Error Message") and the time-out of a write.
bool IsFailureCaption(std::string_view caption);

// What goes under a printer tool's failure text: the port library's own text when the last
// call through a port channel failed ("Port library: ..."), unless that is the text shown
// already, then the explanation of the reason noted for that call. Empty when there is nothing
// to add. Read it right after the call, before the next one replaces both.
std::string PortFailureDetail(std::string_view shownText);

}  // namespace channel
