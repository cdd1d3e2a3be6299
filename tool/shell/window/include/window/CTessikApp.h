// The application: chooses the settings file, creates the main window with its command
// panel, and shows it.
#pragma once

#include <memory>

#include "window/ProgramOptions.h"
#include "window/WindowHooks.h"

namespace shell {

class CMainFrame;

class CTessikApp {
 public:
  CTessikApp(ProgramOptions options, WindowHooks hooks);
  ~CTessikApp();
  CTessikApp(const CTessikApp&) = delete;
  CTessikApp& operator=(const CTessikApp&) = delete;

  // Creates and shows the main window.
  void InitInstance();
  CMainFrame* MainFrame() const { return frame_.get(); }

 private:
  ProgramOptions options_;
  WindowHooks hooks_;
  std::unique_ptr<CMainFrame> frame_;
};

}  // namespace shell
