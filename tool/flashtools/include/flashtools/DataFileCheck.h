// The data file check on any byte source: verifies the signature, that the file holds its
// announced payload and sum byte, and the sum, and reports the header as the check tool
// shows it.
#pragma once

#include "flashtools/ByteStream.h"
#include "flashtools/FileTools.h"
#include "flashtools/UserInterface.h"

namespace flashtools {

ToolResult RunDataFileCheck(ByteSource& source, UserInterface& ui);

}  // namespace flashtools
