#include "window/QtUserInterface.h"

#include <QMessageBox>

#include "channel/FailureExplanation.h"
#include "platform/FailureReason.h"
#include "window/QtText.h"

namespace shell {

void ShowMessageBox(QWidget* parent, const DialogRunner& runModal, std::string_view text,
                    std::string_view caption, flashtools::MessageIcon icon,
                    std::string_view explanation) {
  QMessageBox box(
      icon == flashtools::MessageIcon::kExclamation ? QMessageBox::Warning : QMessageBox::NoIcon,
      ToQString(caption), ToQString(text), QMessageBox::Ok, parent);
  if (!explanation.empty()) {
    box.setInformativeText(ToQString(explanation));
  }
  runModal(box);
}

void QtUserInterface::ShowMessage(std::string_view text, std::string_view caption,
                                  flashtools::MessageIcon icon) {
  // A failure box of a printer tool says, under the tool's own text, why the last port call
  // failed and what to do, once.
  std::string explanation;
  if (icon == flashtools::MessageIcon::kExclamation) {
    explanation = channel::ExplainLastFailure();
    platform::ClearFailureReason();
  }
  ShowMessageBox(parent_, runModal_, text, caption, icon, explanation);
}

bool QtUserInterface::Confirm(std::string_view text, std::string_view caption,
                              flashtools::MessageIcon icon) {
  ShowMessageBox(parent_, runModal_, text, caption, icon);
  return true;
}

}  // namespace shell
