// "Write Data Flash ROM": the data file, its data type, and "Execute", which runs the flash
// write with the panel's port and command number on the job worker, shows the data stream's
// progress while it goes out, and then the Status Display. While the job runs the dialog
// cannot be closed and offers no Cancel.
// Settings: section "FlashWrite", keys "FROMFile" and "FORQX44DX"; "MachineID" of section
// "StartJob" is read only.
#pragma once

#include <cstdint>
#include <optional>

#include "settings/ProfileFile.h"
#include "window/JobDialog.h"
#include "window/PathField.h"
#include "window/ToolBundle.h"
#include "window/WindowHooks.h"

class QButtonGroup;
class QPushButton;
class QRadioButton;

namespace shell {

class DataStreamView;

class WriteDataFlashRomDialog final : public JobDialog {
  Q_OBJECT

 public:
  WriteDataFlashRomDialog(const ToolBundle& bundle, DialogRunner runModal, QWidget* parent);

  PathField* File() const { return file_; }
  QRadioButton* DataTypeButton(int index) const;
  int DataType() const;
  QPushButton* ExecuteButton() const { return execute_; }
  QPushButton* CancelButton() const { return cancel_; }
  DataStreamView* DataStream() const { return dataStream_; }

 private:
  void OnExecute();
  void OnDataTypeChanged();
  // Every control but the progress off while the job runs, and on again after it.
  void EnableControls(bool enabled);

  ToolBundle bundle_;
  settings::ProfileFile settings_;
  // Why the settings could not be read when the dialog opened: its values are then defaults.
  std::optional<settings::ProfileFailure> unreadable_;
  DialogRunner runModal_;
  std::uint8_t machineId_;
  PathField* file_;
  QButtonGroup* dataTypes_;
  QPushButton* execute_;
  QPushButton* cancel_;
  DataStreamView* dataStream_;
};

}  // namespace shell
