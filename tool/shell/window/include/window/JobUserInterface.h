// The person's side of a printer job whose work runs on the worker (JobRunner.h): every
// message box and confirmation is put to the user-interface thread, and the job waits for
// its answer. Under a failure's text the box shows what the port library and the system said
// about the port call that failed, with what to do about it.
#pragma once

#include "flashtools/UserInterface.h"
#include "window/WindowHooks.h"

class QWidget;

namespace shell {

class JobUserInterface final : public flashtools::UserInterface {
 public:
  JobUserInterface(QWidget* parent, DialogRunner runModal)
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

}  // namespace shell
