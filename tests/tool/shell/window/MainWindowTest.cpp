#include <QAction>
#include <QApplication>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QTest>

#include <gtest/gtest.h>

#include "WindowTestSupport.h"
#include "channel/PortSettings.h"
#include "settings/ProfileFile.h"
#include "window/CMainFrame.h"
#include "window/CSplashWindow.h"
#include "window/CTessikView.h"
#include "zarnik/Strings.h"

namespace {

using testing_support::ReadText;
using testing_support::TempFolder;
using testing_support::WriteText;
using window_test::WindowUnderTest;

class MainWindowTest : public ::testing::Test {
 protected:
  TempFolder folder_;
  std::filesystem::path ini_ = folder_ / "zarnik.INI";
  settings::ProfileFile file_{ini_};
  WindowUnderTest window_{ini_};
};

TEST_F(MainWindowTest, FixedSizeWindowWithoutMenuBarOrMaximizeBox) {
  window_.Start();
  auto& frame = window_.Frame();
  EXPECT_TRUE(frame.isVisible());
  EXPECT_EQ(frame.windowTitle().toStdString(), zarnik::LoadString(zarnik::StringId::kMainTitle));
  EXPECT_EQ(frame.minimumSize(), frame.maximumSize());
  EXPECT_FALSE(frame.windowFlags().testFlag(Qt::WindowMaximizeButtonHint));
  EXPECT_TRUE(frame.windowFlags().testFlag(Qt::WindowMinimizeButtonHint));
  EXPECT_EQ(frame.menuWidget(), nullptr);
  EXPECT_TRUE(window_.dialogs.empty());
}

TEST_F(MainWindowTest, AboutCommandEndsTheWindowMenuAndOpensTheAboutBox) {
  window_.Start();
  auto& frame = window_.Frame();
  ASSERT_EQ(frame.contextMenuPolicy(), Qt::ActionsContextMenu);
  const auto actions = frame.actions();
  ASSERT_GE(actions.size(), 2);
  EXPECT_TRUE(actions[actions.size() - 2]->isSeparator());
  EXPECT_EQ(actions.back()->text(), "&About Zarnik...");
  QString versionLine;
  QString settingsLine;
  window_.onDialog = [&](QDialog& dialog) {
    if (const auto* label = dialog.findChild<QLabel*>("versionLine")) {
      versionLine = label->text();
    }
    if (const auto* label = dialog.findChild<QLabel*>("settingsFile")) {
      settingsLine = label->text();
    }
    return static_cast<int>(QDialog::Accepted);
  };
  actions.back()->trigger();
  ASSERT_EQ(window_.dialogs.size(), 1U);
  EXPECT_EQ(window_.dialogs[0].className, "shell::CAboutDialog");
  EXPECT_EQ(window_.dialogs[0].title, "About Zarnik");
  EXPECT_EQ(versionLine.toStdString(), zarnik::LoadString(zarnik::StringId::kAboutVersion));
  EXPECT_EQ(settingsLine.toStdString(), "Settings file: " + ini_.string());
}

TEST_F(MainWindowTest, SettingsThatCannotBeReadEndTheProgramWithTheReason) {
  std::filesystem::create_directories(ini_);
  window_.Start();
  ASSERT_EQ(window_.dialogs.size(), 1U);
  EXPECT_EQ(window_.dialogs[0].text.toStdString(),
            "The settings file " + ini_.string() + " cannot be read (it is a folder).");
  QApplication::processEvents();
  EXPECT_FALSE(window_.Frame().isVisible());
  EXPECT_TRUE(window_.View().EndedOnFailure());  // the program's status says so
  EXPECT_TRUE(std::filesystem::is_empty(ini_));  // and no window position written anywhere
}

TEST_F(MainWindowTest, SettingsThatCannotBeSavedAreToldOnce) {
  window_.Start();
  // The file becomes a folder behind the program's back: every save from now on fails.
  std::filesystem::remove(ini_);
  std::filesystem::create_directories(ini_);
  window_.View().CommandListBox()->setCurrentRow(3);
  window_.View().OnSelect();
  window_.View().OnSelect();
  std::vector<std::string> told;
  for (const auto& dialog : window_.dialogs) {
    if (!dialog.text.isEmpty()) {
      told.push_back(dialog.text.toStdString());
    }
  }
  EXPECT_EQ(told, std::vector<std::string>{"The settings cannot be saved to " + ini_.string() +
                                           " (it is a folder). Changes made in this run are "
                                           "lost when the program ends."});
}

TEST_F(MainWindowTest, WritesDelayDefaultsAndUsbIdsAtStartUp) {
  WriteText(ini_,
            "; hand made\n[System]\nECPNegotiationDelay=0\nLptReceptionDelay=123\n"
            "Vid=04b8\nTimeOut=33\n");
  window_.Start();
  const auto& record = channel::ProcessPortSettings();
  EXPECT_EQ(record.ecpNegotiationDelay, 5000);
  EXPECT_EQ(record.lptReceptionDelay, 123);
  EXPECT_EQ(record.usbVendorId, 0x04B8);
  EXPECT_EQ(record.timeOut, 33);
  EXPECT_EQ(file_.ReadString("System", "ECPNegotiationDelay", "", 255), "5000");
  EXPECT_EQ(file_.ReadString("System", "ECPTerminationDelay", "", 255), "5000");
  EXPECT_EQ(file_.ReadString("System", "LptReceptionDelay", "", 255), "123");
  EXPECT_EQ(file_.ReadString("System", "LptReceptionTerminationTiming", "", 255), "5000");
  EXPECT_EQ(file_.ReadString("System", "Vid", "", 255), "04b8");
  EXPECT_EQ(file_.ReadString("System", "Pid", "", 255), "0000");
  EXPECT_EQ(ReadText(ini_).rfind("; hand made\n", 0), 0U);
}

TEST_F(MainWindowTest, StartsAtTheStoredPositionWithinTheDesktop) {
  const QRect desktop = QGuiApplication::primaryScreen()->geometry();
  WriteText(ini_, "[System]\nXPos=40\nYPos=30\n");
  window_.Start();
  EXPECT_EQ(window_.Frame().frameGeometry().topLeft(), QPoint(40, 30));
  window_.Frame().close();

  WriteText(ini_, "[System]\nXPos=-20\nYPos=" + std::to_string(desktop.bottom() + 1 - 50) + "\n");
  WindowUnderTest offScreen(ini_);
  offScreen.Start();
  EXPECT_EQ(offScreen.Frame().frameGeometry().topLeft(), QPoint(0, 0));
  offScreen.Frame().close();

  WriteText(ini_, "[System]\nXPos=" + std::to_string(desktop.right() + 1 - 51) + "\nYPos=-1\n");
  WindowUnderTest nearEdge(ini_);
  nearEdge.Start();
  EXPECT_EQ(nearEdge.Frame().frameGeometry().topLeft(), QPoint(desktop.right() - 50, 0));
}

TEST_F(MainWindowTest, SavesThePositionWhenClosing) {
  window_.Start();
  window_.Frame().move(25, 35);
  QApplication::processEvents();
  window_.Frame().close();
  EXPECT_EQ(file_.ReadInt("System", "XPos", -1), 25);
  EXPECT_EQ(file_.ReadInt("System", "YPos", -1), 35);
}

class VersionTest : public MainWindowTest, public ::testing::WithParamInterface<int> {};

TEST_P(VersionTest, WrongPortLibraryVersionShowsTheMessageAndCloses) {
  window_.version = GetParam();
  window_.Start();
  ASSERT_EQ(window_.dialogs.size(), 1U);
  EXPECT_EQ(window_.dialogs[0].text, "VopP2.dll version incorrect (I need 1.0.0.6)");
  EXPECT_EQ(window_.dialogs[0].title, "Zarnik");
  QApplication::processEvents();
  EXPECT_FALSE(window_.Frame().isVisible());
}

INSTANTIATE_TEST_SUITE_P(Versions, VersionTest, ::testing::Values(5, 7, 0));

TEST_F(MainWindowTest, SplashGoesAwayOnAKeyThatGoesNoFurther) {
  window_.Start(/*showSplash=*/true);
  auto* splash = shell::CSplashWindow::Current();
  ASSERT_NE(splash, nullptr);
  EXPECT_TRUE(splash->isVisible());
  auto* edit = window_.View().CommandNumberEdit();
  const QString before = edit->text();
  QTest::keyClick(edit, Qt::Key_7);
  EXPECT_EQ(shell::CSplashWindow::Current(), nullptr);
  EXPECT_EQ(edit->text(), before);  // the key was consumed
}

// Shortcuts are keys too: Return (Select) and Alt+X (Exit) reach nothing behind the splash.
TEST_F(MainWindowTest, SplashSwallowsShortcutsAndStaysOnScreen) {
  window_.Start(/*showSplash=*/true);
  QApplication::setActiveWindow(&window_.Frame());
  auto* splash = shell::CSplashWindow::Current();
  ASSERT_NE(splash, nullptr);
  const QRect desktop = window_.Frame().screen()->availableGeometry();
  EXPECT_TRUE(desktop.contains(splash->frameGeometry())) << splash->frameGeometry().x();
  QTest::keyClick(window_.View().CommandListBox(), Qt::Key_Return);
  EXPECT_EQ(shell::CSplashWindow::Current(), nullptr);
  EXPECT_TRUE(window_.tools.empty());

  window_.Frame().close();
  WindowUnderTest again(ini_);
  again.Start(/*showSplash=*/true);
  QApplication::setActiveWindow(&again.Frame());
  ASSERT_NE(shell::CSplashWindow::Current(), nullptr);
  QTest::keyClick(again.View().CommandListBox(), Qt::Key_X, Qt::AltModifier);
  EXPECT_EQ(shell::CSplashWindow::Current(), nullptr);
  EXPECT_TRUE(again.Frame().isVisible());
  // Once the splash is gone the same keys work.
  QTest::keyClick(again.View().CommandListBox(), Qt::Key_Return);
  EXPECT_EQ(again.tools.size(), 1U);
}

TEST_F(MainWindowTest, SplashGoesAwayOnAClickAndByItself) {
  window_.Start(/*showSplash=*/true);
  ASSERT_NE(shell::CSplashWindow::Current(), nullptr);
  QTest::mouseClick(window_.View().InitPortButton(), Qt::LeftButton);
  EXPECT_EQ(shell::CSplashWindow::Current(), nullptr);
  EXPECT_EQ(window_.initPortCalls, 0);  // the click was consumed

  window_.Frame().close();
  WindowUnderTest again(ini_);
  again.Start(/*showSplash=*/true);
  ASSERT_NE(shell::CSplashWindow::Current(), nullptr);
  EXPECT_TRUE(QTest::qWaitFor([] { return shell::CSplashWindow::Current() == nullptr; }, 5000));
}

}  // namespace
