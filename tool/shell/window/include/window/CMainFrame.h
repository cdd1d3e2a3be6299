// The main window: fixed size, no menu bar, the command panel as its only content. The
// "&About Zarnik..." command sits in the window's context menu (right click on the panel),
// the nearest thing to a system menu that every desktop offers a program.
#pragma once

#include <QMainWindow>
#include <filesystem>

#include "window/WindowHooks.h"

class QAction;

namespace shell {

class CTessikView;

class CMainFrame final : public QMainWindow {
  Q_OBJECT

 public:
  CMainFrame(const std::filesystem::path& settingsFile, const WindowHooks& hooks, bool showSplash);

  CTessikView* View() const { return view_; }
  QAction* AboutAction() const { return aboutAction_; }

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  void OnAbout();

  std::filesystem::path settingsFile_;
  DialogRunner runModal_;
  CTessikView* view_;
  QAction* aboutAction_;
};

}  // namespace shell
