// Starting the real window with hooks that record instead of blocking or touching a port.
#pragma once

#include <QString>
#include <filesystem>
#include <memory>
#include <vector>

#include "TempFolder.h"
#include "window/CMainFrame.h"
#include "window/CTessikApp.h"
#include "window/CTessikView.h"
#include "window/ToolBundle.h"
#include "window/WindowHooks.h"

namespace window_test {

// What a dialog run through the runner looked like.
struct SeenDialog {
  QString className;
  QString objectName;
  QString title;
  QString text;  // a message box's text
  int icon = 0;  // a message box's QMessageBox::Icon
};

// A tool start through the panel.
struct SeenTool {
  int position = 0;
  shell::ToolBundle bundle;
};

class WindowUnderTest {
 public:
  explicit WindowUnderTest(std::filesystem::path settingsFile);
  ~WindowUnderTest();

  // Starts the program as main() does, with the recording hooks.
  void Start(bool showSplash = false);

  shell::CTessikApp& App() { return *app_; }
  shell::CMainFrame& Frame();
  shell::CTessikView& View();

  std::int32_t version = 6;  // what the port library answers
  int initPortCalls = 0;
  std::vector<SeenDialog> dialogs;
  std::vector<SeenTool> tools;
  // Runs while a dialog is "open"; by default it is cancelled.
  std::function<int(QDialog&)> onDialog;
  // Runs while a tool is "open", before the real dialog would; may change the bundle's values.
  std::function<void(const shell::ToolBundle&)> onTool;

 private:
  std::filesystem::path settingsFile_;
  std::unique_ptr<shell::CTessikApp> app_;
};

}  // namespace window_test
