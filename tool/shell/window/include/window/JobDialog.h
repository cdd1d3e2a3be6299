// A tool dialog that runs a job (JobRunner.h): while the job runs, the dialog cannot be closed,
// neither by Escape nor by the window's close button. During a printer job a signal that asks
// the program to end (SIGINT, SIGTERM, SIGHUP: a closed terminal, a logout) stops the job,
// which closes it with End Job after the step under way; the program then ends by that signal.
#pragma once

#include <QDialog>
#include <functional>

#include "flashjobs/JobControl.h"

namespace shell {

class JobDialog : public QDialog {
  Q_OBJECT

 public:
  void reject() override;

 protected:
  explicit JobDialog(QWidget* parent) : QDialog(parent) {}

  // Runs work as a printer job, stopped through control, and returns once it has ended.
  void RunDialogJob(flashjobs::JobControl& control, const std::function<void()>& work);
  // Runs work as a job that no signal stops (a signal ends the program as it would without
  // the job), and returns once it has ended.
  void RunUnclosable(const std::function<void()>& work);
  void closeEvent(QCloseEvent* event) override;

 private:
  bool jobRunning_ = false;
};

}  // namespace shell
