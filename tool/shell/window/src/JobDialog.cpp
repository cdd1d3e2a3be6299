#include "window/JobDialog.h"

#include <QCloseEvent>

#include "window/JobRunner.h"

namespace shell {

void JobDialog::RunDialogJob(const std::function<void()>& work) {
  jobRunning_ = true;
  RunJob(work);
  jobRunning_ = false;
}

void JobDialog::reject() {
  if (!jobRunning_) {
    QDialog::reject();
  }
}

void JobDialog::closeEvent(QCloseEvent* event) {
  if (jobRunning_) {
    event->ignore();
    return;
  }
  QDialog::closeEvent(event);
}

}  // namespace shell
