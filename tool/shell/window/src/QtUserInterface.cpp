#include "window/QtUserInterface.h"

#include <QMessageBox>

#include "window/QtText.h"

namespace shell {

void ShowMessageBox(QWidget* parent, const DialogRunner& runModal, std::string_view text,
                    std::string_view caption, flashtools::MessageIcon icon,
                    std::string_view detail) {
  QMessageBox box(
      icon == flashtools::MessageIcon::kExclamation ? QMessageBox::Warning : QMessageBox::NoIcon,
      ToQString(caption), ToQString(text), QMessageBox::Ok, parent);
  if (!detail.empty()) {
    box.setInformativeText(ToQString(detail));
  }
  runModal(box);
}

void QtUserInterface::ShowMessage(std::string_view text, std::string_view caption,
                                  flashtools::MessageIcon icon) {
  ShowMessageBox(parent_, runModal_, text, caption, icon);
}

bool QtUserInterface::Confirm(std::string_view text, std::string_view caption,
                              flashtools::MessageIcon icon) {
  ShowMessage(text, caption, icon);
  return true;
}

}  // namespace shell
