#include <QApplication>
#include <QComboBox>
#include <QFocusEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include "WindowTestSupport.h"
#include "settings/ProfileFile.h"
#include "window/CMainFrame.h"
#include "window/CTessikView.h"

namespace {

using testing_support::ReadText;
using testing_support::TempFolder;
using testing_support::WriteText;
using window_test::WindowUnderTest;

class CommandPanelTest : public ::testing::Test {
 protected:
  void Start() {
    window_.Start();
    view_ = &window_.View();
  }

  void SelectRow(int row) { view_->CommandListBox()->setCurrentRow(row); }

  void LeaveCommandNumber(const QString& typed) {
    auto* edit = view_->CommandNumberEdit();
    edit->clear();
    QTest::keyClicks(edit, typed);
    QFocusEvent focusOut(QEvent::FocusOut, Qt::TabFocusReason);
    QApplication::sendEvent(edit, &focusOut);
  }

  TempFolder folder_;
  std::filesystem::path ini_ = folder_ / "zarnik.INI";
  settings::ProfileFile file_{ini_};
  WindowUnderTest window_{ini_};
  shell::CTessikView* view_ = nullptr;
};

TEST_F(CommandPanelTest, ListsTheFiveToolsWithTheFirstSelected) {
  Start();
  const auto* list = view_->CommandListBox();
  ASSERT_EQ(list->count(), 5);
  EXPECT_EQ(list->item(0)->text(), "Get Version");
  EXPECT_EQ(list->item(1)->text(), "Write Data Flash ROM");
  EXPECT_EQ(list->item(2)->text(), "Add header");
  EXPECT_EQ(list->item(3)->text(), "Check file format");
  EXPECT_EQ(list->item(4)->text(), "Arrange the number of the bands");
  EXPECT_EQ(list->currentRow(), 0);
  EXPECT_TRUE(list->item(0)->isSelected());
  EXPECT_EQ(view_->CommandNumberEdit()->text(), "00");
  EXPECT_FALSE(view_->ModeCombo()->isVisible());
  EXPECT_EQ(view_->OutputCombo()->currentText(), "USB");  // "Output" defaults to 1
}

TEST_F(CommandPanelTest, SelectAndDoubleClickOpenTheSameTool) {
  Start();
  SelectRow(3);
  QTest::mouseClick(view_->SelectButton(), Qt::LeftButton);
  auto* list = view_->CommandListBox();
  list->setCurrentRow(0);
  const QRect item = list->visualItemRect(list->item(3));
  QTest::mousePress(list->viewport(), Qt::LeftButton, {}, item.center());
  QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, item.center());
  ASSERT_EQ(window_.tools.size(), 2U);
  EXPECT_EQ(window_.tools[0].position, 4);
  EXPECT_EQ(window_.tools[1].position, 4);
  ASSERT_EQ(window_.dialogs.size(), 2U);
  EXPECT_EQ(window_.dialogs[0].className, window_.dialogs[1].className);
  EXPECT_EQ(window_.dialogs[0].objectName, window_.dialogs[1].objectName);
  EXPECT_EQ(window_.dialogs[0].title, window_.dialogs[1].title);
}

TEST_F(CommandPanelTest, FirstTwoRowsOpenThePrinterTools) {
  Start();
  for (const int row : {0, 1}) {
    SelectRow(row);
    view_->OnSelect();
  }
  ASSERT_EQ(window_.dialogs.size(), 2U);
  EXPECT_EQ(window_.dialogs[0].className, "shell::GetVersionDialog");
  EXPECT_EQ(window_.dialogs[0].title, "Get Version");
  EXPECT_EQ(window_.dialogs[1].className, "shell::WriteDataFlashRomDialog");
  EXPECT_EQ(window_.dialogs[1].title, "Write Data Flash ROM");
}

TEST_F(CommandPanelTest, OutputChoiceBecomesThePortKindAndComesBack) {
  Start();
  std::int32_t outputInFile = -1;
  window_.onTool = [&](const shell::ToolBundle&) {
    file_.Load();  // as the program saved it just now
    outputInFile = file_.ReadInt("System", "Output", -1);
  };
  view_->OutputCombo()->setCurrentIndex(1);
  view_->OnSelect();
  view_->OutputCombo()->setCurrentIndex(0);
  view_->OnSelect();
  ASSERT_EQ(window_.tools.size(), 2U);
  EXPECT_EQ(window_.tools[0].bundle.portKind, 3);
  EXPECT_EQ(window_.tools[1].bundle.portKind, 1);
  EXPECT_EQ(outputInFile, 0);  // saved before the second tool opened
  EXPECT_EQ(view_->OutputCombo()->currentText(), "LPT1:");
  view_->OutputCombo()->setCurrentIndex(1);
  view_->OnSelect();
  EXPECT_EQ(outputInFile, 1);
  EXPECT_EQ(view_->OutputCombo()->currentText(), "USB");
}

TEST_F(CommandPanelTest, HandEditedOutputIndexBecomesNoPortAndIsSavedAs255) {
  WriteText(ini_, "[System]\nOutput=7\nMode=2\nOutputFile=/tmp/o.prn\nTimeOut=20\n");
  Start();
  EXPECT_EQ(view_->OutputCombo()->currentIndex(), -1);
  view_->OnSelect();
  ASSERT_EQ(window_.tools.size(), 1U);
  EXPECT_EQ(window_.tools[0].bundle.portKind, 255);
  EXPECT_EQ(window_.tools[0].bundle.transferMode, 2);
  EXPECT_EQ(window_.tools[0].bundle.outputFile, "/tmp/o.prn");
  EXPECT_EQ(window_.tools[0].bundle.timeOut, 20);
  EXPECT_EQ(file_.ReadInt("System", "Output", 0), 7);
  EXPECT_EQ(view_->OutputCombo()->currentIndex(), -1);
  view_->OnSelect();
  file_.Load();
  EXPECT_EQ(file_.ReadInt("System", "Output", 0), 255);
  EXPECT_EQ(window_.tools[1].bundle.portKind, 255);
}

TEST_F(CommandPanelTest, CommandNumberEditKeepsTheHexRule) {
  Start();
  LeaveCommandNumber("a");
  EXPECT_EQ(view_->CommandNumberEdit()->text(), "0A");
  EXPECT_EQ(view_->CommandNumber(), 0x0A);
  LeaveCommandNumber("5Z");
  EXPECT_EQ(view_->CommandNumberEdit()->text(), "05");
  LeaveCommandNumber("Z5");
  EXPECT_EQ(view_->CommandNumberEdit()->text(), "00");
  LeaveCommandNumber("fff");  // the edit takes two characters only
  EXPECT_EQ(view_->CommandNumberEdit()->text(), "FF");
  EXPECT_EQ(view_->CommandNumber(), 0xFF);
}

TEST_F(CommandPanelTest, ToolsSeeAndAdvanceTheCommandNumber) {
  Start();
  LeaveCommandNumber("3");
  std::uint8_t seen = 0;
  window_.onTool = [&](const shell::ToolBundle& bundle) {
    seen = *bundle.commandNumber;
    *bundle.commandNumber = 0x2C;
    *bundle.ecpNegotiated = 0;
  };
  view_->OnSelect();
  EXPECT_EQ(seen, 0x03);
  EXPECT_EQ(view_->CommandNumberEdit()->text(), "2C");
}

// Return in the edit starts the tool with the focus still in the edit; the tool's dialog then
// takes the focus away while it runs.
TEST_F(CommandPanelTest, NumberConfirmedWithReturnCountsAndFocusLossDuringToolChangesNothing) {
  Start();
  view_->OutputCombo()->setCurrentIndex(1);
  auto* edit = view_->CommandNumberEdit();
  edit->clear();
  QTest::keyClicks(edit, "05");
  std::uint8_t seen = 0;
  window_.onTool = [&](const shell::ToolBundle& bundle) {
    QFocusEvent focusOut(QEvent::FocusOut, Qt::ActiveWindowFocusReason);
    QApplication::sendEvent(edit, &focusOut);
    seen = *bundle.commandNumber;
    *bundle.commandNumber = 0x07;
  };
  view_->OnSelect();
  ASSERT_EQ(window_.tools.size(), 1U);
  EXPECT_EQ(window_.tools[0].bundle.portKind, 3);
  EXPECT_EQ(seen, 0x05);
  EXPECT_EQ(view_->OutputCombo()->currentText(), "USB");
  EXPECT_EQ(edit->text(), "07");
}

TEST_F(CommandPanelTest, SettingsAreSavedOnSelectEvenWhenTheToolIsCancelled) {
  WriteText(ini_, "; mine\n[System]\nLogFile=/tmp/log.txt\nEnableLog=3\nDebugLevel=-2\n");
  Start();
  view_->OutputCombo()->setCurrentIndex(0);
  SelectRow(3);
  view_->OnSelect();  // the runner cancels every dialog
  EXPECT_EQ(file_.ReadString("System", "Output", "", 255), "0");
  EXPECT_EQ(file_.ReadString("System", "Mode", "", 255), "0");
  EXPECT_EQ(file_.ReadString("System", "OutputFile", "?", 255), "");
  EXPECT_EQ(file_.ReadString("System", "TimeOut", "", 255), "10");
  EXPECT_EQ(file_.ReadString("System", "LogFile", "", 255), "/tmp/log.txt");
  EXPECT_EQ(file_.ReadString("System", "EnableLog", "", 255), "1");
  EXPECT_EQ(file_.ReadString("System", "DebugLevel", "", 255), "-2");
  EXPECT_EQ(ReadText(ini_).rfind("; mine\n", 0), 0U);
}

TEST_F(CommandPanelTest, NothingSelectedOpensNothingButStillSaves) {
  Start();
  view_->CommandListBox()->clearSelection();
  view_->OnSelect();
  EXPECT_TRUE(window_.tools.empty());
  EXPECT_EQ(file_.ReadInt("System", "Output", -1), 1);
  EXPECT_EQ(view_->OutputCombo()->currentText(), "USB");
}

TEST_F(CommandPanelTest, InitPortAndExitButtons) {
  Start();
  QTest::mouseClick(view_->InitPortButton(), Qt::LeftButton);
  EXPECT_EQ(window_.initPortCalls, 1);
  EXPECT_TRUE(window_.dialogs.empty());
  QTest::mouseClick(view_->ExitButton(), Qt::LeftButton);
  EXPECT_FALSE(window_.Frame().isVisible());
  EXPECT_EQ(file_.ReadInt("System", "XPos", -1), window_.Frame().frameGeometry().x());
}

}  // namespace
