// "Status Display": the printer's erase, write and verify progress in three bars while the
// flash write runs. A 100 ms timer drives the poller; the dialog closes itself when the
// polling ends with OK or Cancel, and "Cancel" closes it at any time.
#pragma once

#include <QDialog>

#include "flashjobs/StatusDisplay.h"
#include "flashjobs/StatusPoller.h"
#include "window/WindowHooks.h"

class QProgressBar;
class QPushButton;
class QTimer;

namespace shell {

class StatusDisplayDialog final : public QDialog {
  Q_OBJECT

 public:
  // Starts the poller (bars at 0) and its timer, which ticks once the dialog runs.
  StatusDisplayDialog(flashjobs::StatusPoller& poller, QWidget* parent);

  QProgressBar* ErasingBar() const { return erasing_; }
  QProgressBar* WritingBar() const { return writing_; }
  QProgressBar* VerifyingBar() const { return verifying_; }
  QPushButton* CancelButton() const { return cancel_; }
  bool Polling() const;

  void reject() override;

 private:
  void OnTick();
  void ShowBars(const flashjobs::ProgressBars& bars);

  flashjobs::StatusPoller& poller_;
  QProgressBar* erasing_;
  QProgressBar* writing_;
  QProgressBar* verifying_;
  QPushButton* cancel_;
  QTimer* timer_;
  bool ticking_ = false;
};

// The flash write's Status Display in the window: runs the dialog through the runner.
class DialogStatusDisplay final : public flashjobs::StatusDisplay {
 public:
  DialogStatusDisplay(QWidget* parent, DialogRunner runModal)
      : parent_(parent), runModal_(std::move(runModal)) {}
  void Run(flashjobs::StatusPoller& poller) override;

 private:
  QWidget* parent_;
  DialogRunner runModal_;
};

}  // namespace shell
