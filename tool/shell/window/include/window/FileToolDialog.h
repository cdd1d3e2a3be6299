// What the three file tools' dialogs share: path rows with Browse buttons, the "Excute"
// (default) and "Cancel" buttons, message boxes through the dialog runner, the tool run as a
// job away from the user-interface thread, and closing or staying open by how its run ended.
#pragma once

#include <functional>
#include <string_view>

#include "flashtools/FileTools.h"
#include "settings/ProfileFile.h"
#include "window/JobDialog.h"
#include "window/PathField.h"
#include "window/ToolBundle.h"
#include "window/WindowHooks.h"

class QDialogButtonBox;
class QFormLayout;
class QPushButton;

namespace shell {

class FileToolDialog : public JobDialog {
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

  // Run when "Excute" is pressed, on the user-interface thread: takes and stores the paths,
  // refuses an input that could hold the worker for good, and runs the tool through RunTool.
  virtual flashtools::ToolResult Excute() = 0;

  using Tool = std::function<flashtools::ToolResult(flashtools::UserInterface& ui)>;
  // Runs tool as a job (JobRunner.h): the window goes on meanwhile, every message of the tool
  // is shown on the user-interface thread and answered before the tool goes on, and the rows
  // and buttons take no input until it has ended.
  flashtools::ToolResult RunTool(const Tool& tool);

 private:
  void OnExcute();
  void TakeInput(bool take);

  settings::ProfileFile settings_;
  DialogRunner runModal_;
  QFormLayout* rows_;
  QDialogButtonBox* buttons_ = nullptr;
  QPushButton* excute_ = nullptr;
};

}  // namespace shell
