// "Check file format": checks a data file's signature and sum and reports its header.
// Settings: section "VopFileChk", key "Check" (the path).
#pragma once

#include "window/FileToolDialog.h"

namespace shell {

class CheckFileFormatDialog final : public FileToolDialog {
  Q_OBJECT

 public:
  CheckFileFormatDialog(const ToolBundle& bundle, DialogRunner runModal, QWidget* parent);

  PathField* File() const { return file_; }

 private:
  flashtools::ToolResult Excute() override;

  PathField* file_;
};

}  // namespace shell
