// The tools' way to the person in the window: message boxes with an OK button.
#pragma once

#include "flashtools/UserInterface.h"
#include "window/WindowHooks.h"

class QWidget;

namespace shell {

class QtUserInterface final : public flashtools::UserInterface {
 public:
  QtUserInterface(QWidget* parent, DialogRunner runModal)
      : parent_(parent), runModal_(std::move(runModal)) {}

  void ShowMessage(std::string_view text, std::string_view caption,
                   flashtools::MessageIcon icon) override;
  // The window only informs: the box has an OK button and the procedure goes on.
  bool Confirm(std::string_view text, std::string_view caption,
               flashtools::MessageIcon icon) override;

 private:
  QWidget* parent_;
  DialogRunner runModal_;
};

// One message box with an OK button, run through the runner; detail, when there is one,
// goes under the text.
void ShowMessageBox(QWidget* parent, const DialogRunner& runModal, std::string_view text,
                    std::string_view caption, flashtools::MessageIcon icon,
                    std::string_view detail = {});

}  // namespace shell
