#include "window/CMainFrame.h"

#include <QAction>
#include <QCloseEvent>
#include <QLayout>

#include "window/Artwork.h"
#include "window/CAboutDialog.h"
#include "window/CTessikView.h"
#include "window/JobRunner.h"
#include "window/QtText.h"
#include "zarnik/Strings.h"

namespace shell {

CMainFrame::CMainFrame(const std::filesystem::path& settingsFile, const WindowHooks& hooks,
                       bool showSplash)
    : QMainWindow(nullptr, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                               Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                               Qt::WindowCloseButtonHint),
      settingsFile_(settingsFile),
      runModal_(hooks.runModal),
      view_(new CTessikView(settingsFile, hooks, showSplash, this)),
      aboutAction_(new QAction(ToQString(zarnik::text::kAboutCommand), this)) {
  setObjectName(ToQString(zarnik::text::kWindowClass));
  setWindowIcon(ProgramIcon());
  setCentralWidget(view_);
  auto* separator = new QAction(this);
  separator->setSeparator(true);
  addActions({separator, aboutAction_});
  setContextMenuPolicy(Qt::ActionsContextMenu);
  connect(aboutAction_, &QAction::triggered, this, &CMainFrame::OnAbout);

  // The frame takes the panel's size and keeps it.
  view_->layout()->activate();
  setFixedSize(sizeHint());
  view_->OnInitialUpdate();
}

void CMainFrame::closeEvent(QCloseEvent* event) {
  // A printer job is never cut off by closing the program: it ends first.
  if (JobRunning()) {
    event->ignore();
    return;
  }
  view_->SaveWindowPosition();
  QMainWindow::closeEvent(event);
}

void CMainFrame::OnAbout() {
  CAboutDialog about(this, settingsFile_);
  runModal_(about);
}

}  // namespace shell
