// What the three file tools' dialogs share: path rows with Browse buttons, the "Excute"
// (default) and "Cancel" buttons, message boxes through the dialog runner, and closing or
// staying open by how the tool's run ended.
#pragma once

#include <QDialog>
#include <string_view>

#include "flashtools/FileTools.h"
#include "settings/ProfileFile.h"
#include "window/PathField.h"
#include "window/ToolBundle.h"
#include "window/WindowHooks.h"

class QFormLayout;
class QPushButton;

namespace shell {

class FileToolDialog : public QDialog {
  Q_OBJECT

 public:
  QPushButton* ExcuteButton() const { return excute_; }

 protected:
  FileToolDialog(std::string_view title, const ToolBundle& bundle, DialogRunner runModal,
                 QWidget* parent);

  // A labelled path row (no label when label is empty).
  PathField* AddPathRow(std::string_view label, std::string_view filterPairs);
  // The buttons go last; call once all rows are added.
  void AddButtons();

  const settings::ProfileFile& Settings() const { return settings_; }
  const DialogRunner& Runner() const { return runModal_; }

  // The tool's work, run when "Excute" is pressed.
  virtual flashtools::ToolResult Excute() = 0;

 private:
  void OnExcute();

  settings::ProfileFile settings_;
  DialogRunner runModal_;
  QFormLayout* rows_;
  QPushButton* excute_ = nullptr;
};

}  // namespace shell
