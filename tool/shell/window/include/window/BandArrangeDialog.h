// "Arrange the number of the bands": merges each colour plane's bands of a print-data
// stream into one. Settings: section "BandAdjust", keys "InputFile" and "OutputFile".
#pragma once

#include "window/FileToolDialog.h"

namespace shell {

class BandArrangeDialog final : public FileToolDialog {
  Q_OBJECT

 public:
  BandArrangeDialog(const ToolBundle& bundle, DialogRunner runModal, QWidget* parent);

  PathField* Input() const { return input_; }
  PathField* Output() const { return output_; }

 private:
  flashtools::ToolResult Excute() override;

  PathField* input_;
  PathField* output_;
};

}  // namespace shell
