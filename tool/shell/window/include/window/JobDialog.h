// A tool dialog that runs a printer job (JobRunner.h): while the job runs, the dialog cannot
// be closed, neither by Escape nor by the window's close button.
#pragma once

#include <QDialog>
#include <functional>

namespace shell {

class JobDialog : public QDialog {
  Q_OBJECT

 public:
  void reject() override;

 protected:
  explicit JobDialog(QWidget* parent) : QDialog(parent) {}

  // Runs work as a job and returns once it has ended.
  void RunDialogJob(const std::function<void()>& work);
  void closeEvent(QCloseEvent* event) override;

 private:
  bool jobRunning_ = false;
};

}  // namespace shell
