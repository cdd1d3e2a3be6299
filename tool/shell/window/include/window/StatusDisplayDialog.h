// "Status Display": the printer's erase, write and verify progress in three bars while the
// flash write's job polls the printer on its worker. While the polling runs, neither Return
// nor Escape closes it, and Cancel (or the window's close button) asks first; once the
// polling has ended without closing the display (a failed read), Cancel closes it at once.
#pragma once

#include <QDialog>
#include <QPointer>

#include "flashjobs/JobControl.h"
#include "flashjobs/StatusDisplay.h"
#include "flashjobs/StatusPoller.h"
#include "window/WindowHooks.h"

class QMessageBox;
class QProgressBar;
class QPushButton;

namespace shell {

class StatusDisplayDialog final : public QDialog {
  Q_OBJECT

 public:
  StatusDisplayDialog(DialogRunner runModal, QWidget* parent);

  QProgressBar* ErasingBar() const { return erasing_; }
  QProgressBar* WritingBar() const { return writing_; }
  QProgressBar* VerifyingBar() const { return verifying_; }
  QPushButton* CancelButton() const { return cancel_; }
  bool Polling() const { return polling_; }

  void ShowBars(const flashjobs::ProgressBars& bars);
  // The polling has ended and the display stays until the person cancels.
  void EndPolling();
  // The polling has ended and closes the display with result, without asking.
  void Finish(int result);

  // Cancel, Escape and the close button: asks first while polling.
  void reject() override;

 protected:
  void keyPressEvent(QKeyEvent* event) override;

 private:
  // The person's answer to "stop following the printer?".
  bool StopConfirmed();

  DialogRunner runModal_;
  QProgressBar* erasing_;
  QProgressBar* writing_;
  QProgressBar* verifying_;
  QPushButton* cancel_;
  bool polling_ = true;
  QPointer<QMessageBox> question_;
};

// The flash write's Status Display in the window, for a job on the worker: the dialog runs
// through the runner on the user-interface thread while the worker polls the printer every
// 100 ms and sends it the bars. The display closing while polling (Cancel confirmed, or closed
// from outside) asks the job to stop, which ends the polling; the procedure goes on with End
// Job once the display has closed.
class WorkerStatusDisplay final : public flashjobs::StatusDisplay {
 public:
  WorkerStatusDisplay(QWidget* parent, DialogRunner runModal, flashjobs::JobControl& control)
      : parent_(parent), runModal_(std::move(runModal)), control_(control) {}
  // On the worker.
  void Run(flashjobs::StatusPoller& poller) override;

 private:
  QWidget* parent_;
  DialogRunner runModal_;
  flashjobs::JobControl& control_;
};

}  // namespace shell
