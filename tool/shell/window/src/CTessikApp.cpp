#include "window/CTessikApp.h"

#include "settings/SettingsLocation.h"
#include "window/CMainFrame.h"
#include "window/QtText.h"
#include "window/ScreenshotTour.h"
#include "zarnik/Strings.h"

namespace shell {

CTessikApp::CTessikApp(ProgramOptions options, WindowHooks hooks)
    : options_(std::move(options)), hooks_(std::move(hooks)) {}

CTessikApp::~CTessikApp() = default;

void CTessikApp::InitInstance() {
  const auto settingsFile = settings::ChosenSettingsFile(options_.settingsFile);
  if (options_.screenshotDir) {
    hooks_.runModal = ScreenshotRunner(*options_.screenshotDir, options_.simulate);
  }
  frame_ = std::make_unique<CMainFrame>(settingsFile, hooks_, options_.showSplash);
  frame_->setWindowTitle(ToQString(zarnik::LoadString(zarnik::StringId::kMainTitle)));
  frame_->show();
  if (options_.screenshotDir) {
    StartScreenshotTour(*frame_, *options_.screenshotDir);
  }
}

}  // namespace shell
