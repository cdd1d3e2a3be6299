// The command panel's list of tools, in list order, and the one place that turns a list
// position into the tool's dialog.
#pragma once

#include <array>

#include "window/ToolBundle.h"
#include "window/WindowHooks.h"
#include "zarnik/Strings.h"

class QWidget;

namespace shell {

// Positions 1 to 5: Get Version, Write Data Flash ROM, Add header, Check file format,
// Arrange the number of the bands.
inline constexpr std::array<zarnik::StringId, 5> kCommandList = {
    zarnik::StringId::kGetVersion, zarnik::StringId::kWriteDataFlashRom,
    zarnik::StringId::kAddHeader, zarnik::StringId::kCheckFileFormat,
    zarnik::StringId::kArrangeBands};

// Creates the dialog of the tool at the list position, runs it modally with the bundle and
// destroys it. Any other position opens nothing.
void RunTool(int position, const ToolBundle& bundle, const DialogRunner& runModal, QWidget* parent);

}  // namespace shell
