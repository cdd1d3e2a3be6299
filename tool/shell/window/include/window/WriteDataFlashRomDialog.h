// "Write Data Flash ROM": the data file, its data type, and "Execute", which runs the flash
// write with the panel's port and command number and shows the Status Display.
// Settings: section "FlashWrite", keys "FROMFile" and "FORQX44DX"; "MachineID" of section
// "StartJob" is read only.
#pragma once

#include <QDialog>
#include <cstdint>

#include "settings/ProfileFile.h"
#include "window/PathField.h"
#include "window/ToolBundle.h"
#include "window/WindowHooks.h"

class QButtonGroup;
class QPushButton;
class QRadioButton;

namespace shell {

class WriteDataFlashRomDialog final : public QDialog {
  Q_OBJECT

 public:
  WriteDataFlashRomDialog(const ToolBundle& bundle, DialogRunner runModal, QWidget* parent);

  PathField* File() const { return file_; }
  QRadioButton* DataTypeButton(int index) const;
  int DataType() const;
  QPushButton* ExecuteButton() const { return execute_; }

 private:
  void OnExecute();
  void OnDataTypeChanged();

  ToolBundle bundle_;
  settings::ProfileFile settings_;
  DialogRunner runModal_;
  std::uint8_t machineId_;
  PathField* file_;
  QButtonGroup* dataTypes_;
  QPushButton* execute_;
};

}  // namespace shell
