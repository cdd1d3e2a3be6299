#include "WindowTestSupport.h"

#include <QApplication>
#include <QDialog>
#include <QMessageBox>

#include "window/CMainFrame.h"
#include "window/CommandList.h"

namespace window_test {

WindowUnderTest::WindowUnderTest(std::filesystem::path settingsFile)
    : settingsFile_(std::move(settingsFile)) {}

WindowUnderTest::~WindowUnderTest() {
  app_.reset();
  QApplication::processEvents();
}

void WindowUnderTest::Start(bool showSplash) {
  shell::WindowHooks hooks;
  hooks.portLibraryVersion = [this] { return version; };
  hooks.initLptPort = [this] { ++initPortCalls; };
  hooks.runModal = [this](QDialog& dialog) {
    SeenDialog seen{
        dialog.metaObject()->className(), dialog.objectName(), dialog.windowTitle(), {}, 0};
    if (const auto* box = qobject_cast<QMessageBox*>(&dialog)) {
      seen.text = box->text();
      seen.icon = box->icon();
    }
    dialogs.push_back(seen);
    return onDialog ? onDialog(dialog) : static_cast<int>(QDialog::Rejected);
  };
  hooks.runTool = [this](int position, const shell::ToolBundle& bundle,
                         const shell::DialogRunner& runModal, QWidget* parent) {
    tools.push_back({position, bundle});
    if (onTool) {
      onTool(bundle);
    }
    shell::RunTool(position, bundle, runModal, parent);
  };
  shell::ProgramOptions options;
  options.settingsFile = settingsFile_;
  options.showSplash = showSplash;
  app_ = std::make_unique<shell::CTessikApp>(options, hooks);
  app_->InitInstance();
  QApplication::processEvents();
}

shell::CMainFrame& WindowUnderTest::Frame() {
  return *app_->MainFrame();
}

shell::CTessikView& WindowUnderTest::View() {
  return *Frame().View();
}

}  // namespace window_test
