// "Add header": wraps any file into a data file.
// Settings: section "VopMaker", keys "ReadFile", "WriteFile" and "SelDType".
#pragma once

#include <cstdint>

#include "window/FileToolDialog.h"

namespace shell {

class AddHeaderDialog final : public FileToolDialog {
  Q_OBJECT

 public:
  AddHeaderDialog(const ToolBundle& bundle, DialogRunner runModal, QWidget* parent);

  PathField* Input() const { return input_; }
  PathField* Output() const { return output_; }

 private:
  flashtools::ToolResult Excute() override;

  PathField* input_;
  PathField* output_;
  std::int32_t dataType_;  // kept for the file only; the output does not depend on it
};

}  // namespace shell
