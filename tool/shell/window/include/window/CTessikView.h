// The command panel that fills the main window: the list of tools, the Output choice, the
// running command number, and the buttons Select, Init Port and Exit. It owns the panel's
// settings of section "System" and hands them to the tool it opens.
#pragma once

#include <QWidget>
#include <cstdint>
#include <filesystem>
#include <string_view>

#include "channel/SystemSettings.h"
#include "settings/ProfileFile.h"
#include "window/WindowHooks.h"

class QComboBox;
class QLineEdit;
class QListWidget;
class QPushButton;

namespace shell {

class CTessikView final : public QWidget {
  Q_OBJECT

 public:
  CTessikView(const std::filesystem::path& settingsFile, WindowHooks hooks, bool showSplash,
              QWidget* parent);

  // Start-up once the main window holds the panel: list, window position, settings, splash,
  // command number, and the port library's version.
  void OnInitialUpdate();
  // "&Select" or a double-click: save the settings and run the selected tool.
  void OnSelect();
  // Writes the main window's position ("XPos", "YPos"); called as the window goes away.
  void SaveWindowPosition();

  QListWidget* CommandListBox() const { return commandList_; }
  QComboBox* OutputCombo() const { return outputCombo_; }
  QComboBox* ModeCombo() const { return modeCombo_; }
  QLineEdit* CommandNumberEdit() const { return commandNumberEdit_; }
  QPushButton* SelectButton() const { return selectButton_; }
  QPushButton* InitPortButton() const { return initPortButton_; }
  QPushButton* ExitButton() const { return exitButton_; }
  std::uint8_t CommandNumber() const { return commandNumber_; }
  // Start-up ended the program after a message (settings unreadable, wrong port library).
  bool EndedOnFailure() const { return endedOnFailure_; }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void FillCommandList();
  void PlaceMainWindow();
  void LoadSettings();
  void SaveSettings();
  // true: controls into members; false: members into controls.
  void UpdateData(bool saveAndValidate);
  void OnCommandNumberUpdate();
  void CheckPortLibraryVersion();
  // A message box, then the program closes once start-up is over.
  void EndAfterMessage(std::string_view text);
  // Settings that could not be saved: one message box, the first time only.
  void TellUnsavedSettings();

  settings::ProfileFile settings_;
  bool settingsRead_ = false;  // nothing is written into a file that could not be read
  WindowHooks hooks_;
  bool showSplash_;

  channel::PanelSettings panel_;
  int commandIndex_ = 0;  // selected list row, -1 for none
  QString commandNumberText_;
  std::uint8_t commandNumber_ = 0;
  std::int32_t ecpNegotiated_ = 0;
  // While a tool runs, the panel's members hold the port kind, not the Output index, and the
  // tool owns the command number: a focus change then must not read the controls back.
  bool inSelect_ = false;
  bool endedOnFailure_ = false;

  QListWidget* commandList_;
  QPushButton* selectButton_;
  QComboBox* outputCombo_;
  QPushButton* initPortButton_;
  QLineEdit* commandNumberEdit_;
  QPushButton* exitButton_;
  QComboBox* modeCombo_;  // never shown: the mode comes from the settings file
};

}  // namespace shell
