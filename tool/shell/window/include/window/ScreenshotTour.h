// Pictures for the documentation: the program runs as usual, but every dialog it would run
// modally is shown, saved as a PNG file and closed, and a short tour opens each tool and the
// About box before the program ends.
#pragma once

#include <filesystem>

#include "window/WindowHooks.h"

namespace shell {

class CMainFrame;

// A runner that saves a picture of each dialog into folder and closes it (result: rejected).
// With operatePrinterTools (the program runs on the simulated machine) it also presses "Yes"
// in Get Version and "Execute" with "Demo Print Data" in Write Data Flash ROM, so that their
// messages are taken too, and takes the Status Display once the write is under way.
DialogRunner ScreenshotRunner(const std::filesystem::path& folder, bool operatePrinterTools);

// Once the event loop runs: saves the splash window (when up) and the main window, selects
// every tool in turn, opens the About box, then closes the main window.
void StartScreenshotTour(CMainFrame& frame, const std::filesystem::path& folder);

}  // namespace shell
