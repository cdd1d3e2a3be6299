// The file tools' failure message: the text with the caption "Error", no icon, OK only.
#pragma once

#include <string_view>

#include "flashtools/FileTools.h"
#include "zarnik/Strings.h"

namespace flashtools {

inline ToolResult ShowFailure(UserInterface& ui, std::string_view text) {
  ui.ShowMessage(text, zarnik::text::kError, MessageIcon::kNone);
  return ToolResult::kFailed;
}

}  // namespace flashtools
