#include "window/JobDialog.h"

#include <QCloseEvent>

#include "cleanup/DeferSignals.h"
#include "window/JobRunner.h"

namespace shell {

void JobDialog::RunDialogJob(flashjobs::JobControl& control, const std::function<void()>& work) {
  const cleanup::DeferSignals closeJobFirst(
      [](void* job) { static_cast<flashjobs::JobControl*>(job)->RequestStopBySignal(); }, &control);
  RunUnclosable(work);
}

void JobDialog::RunUnclosable(const std::function<void()>& work) {
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
