// The tools' way to the person in the window: message boxes with an OK button.
#pragma once

#include <functional>

#include "flashjobs/JobControl.h"
#include "flashtools/UserInterface.h"
#include "window/WindowHooks.h"

class QDialog;
class QWidget;

namespace shell {

class QtUserInterface : public flashtools::UserInterface {
 public:
  QtUserInterface(QWidget* parent, DialogRunner runModal)
      : parent_(parent), runModal_(std::move(runModal)) {}

  void ShowMessage(std::string_view text, std::string_view caption,
                   flashtools::MessageIcon icon) override;
  // The window only informs: the box (ShowMessage) has an OK button and the procedure goes on.
  bool Confirm(std::string_view text, std::string_view caption,
               flashtools::MessageIcon icon) override;

 protected:
  QWidget* Parent() const { return parent_; }
  const DialogRunner& Runner() const { return runModal_; }

 private:
  QWidget* parent_;
  DialogRunner runModal_;
};

// The same for a printer job whose work runs on the worker (JobRunner.h): every box is put to
// the user-interface thread, and the job waits for its answer. Under a failure's text the box
// shows what the port library and the system said about the port call that failed, with what
// to do about it.
class JobUserInterface final : public QtUserInterface {
 public:
  JobUserInterface(QWidget* parent, DialogRunner runModal, const flashjobs::JobControl& control)
      : QtUserInterface(parent, std::move(runModal)), control_(control) {}

  // A signal while the box waits (the system is shutting down) answers the box, so that the
  // job goes on to close itself instead of waiting for a person. Other stops (Cancel, the
  // Status Display's end) leave the box to the person: it may tell that End Job failed.
  void ShowMessage(std::string_view text, std::string_view caption,
                   flashtools::MessageIcon icon) override;

 private:
  const flashjobs::JobControl& control_;
};

// Runs dialog through the runner; while it waits, a signal that stopped the job (the system
// is shutting down) calls answer within 0.1 s, so that the job goes on to close itself instead
// of waiting for a person.
int RunAnsweredOnSignal(QDialog& dialog, const DialogRunner& runModal,
                        const flashjobs::JobControl& control, const std::function<void()>& answer);

// One message box with an OK button, run through the runner; detail, when there is one,
// goes under the text.
void ShowMessageBox(QWidget* parent, const DialogRunner& runModal, std::string_view text,
                    std::string_view caption, flashtools::MessageIcon icon,
                    std::string_view detail = {});

}  // namespace shell
