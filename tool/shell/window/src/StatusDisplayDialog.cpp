#include "window/StatusDisplayDialog.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QKeyEvent>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>
#include <future>
#include <memory>

#include "window/JobRunner.h"
#include "window/QtText.h"
#include "window/QtUserInterface.h"
#include "zarnik/Strings.h"

namespace shell {
namespace {

QProgressBar* MakeBar(QWidget* parent, const char* name) {
  auto* bar = new QProgressBar(parent);
  bar->setObjectName(name);
  bar->setRange(0, 100);
  bar->setValue(0);
  bar->setMinimumWidth(260);
  return bar;
}

}  // namespace

StatusDisplayDialog::StatusDisplayDialog(DialogRunner runModal, QWidget* parent)
    : QDialog(parent),
      runModal_(std::move(runModal)),
      erasing_(MakeBar(this, "erasing")),
      writing_(MakeBar(this, "writing")),
      verifying_(MakeBar(this, "verifying")),
      cancel_(new QPushButton(ToQString(zarnik::text::kCancel), this)) {
  setObjectName("statusDisplay");
  setWindowTitle(ToQString(zarnik::text::kStatusDisplayTitle));
  auto* group = new QGroupBox(ToQString(zarnik::text::kWritingProcess), this);
  auto* rows = new QFormLayout(group);
  rows->addRow(ToQString(zarnik::text::kErasingLabel), erasing_);
  rows->addRow(ToQString(zarnik::text::kWritingLabel), writing_);
  rows->addRow(ToQString(zarnik::text::kVerifyingLabel), verifying_);
  // Return must never press Cancel: a Return meant for the dialog before would end the display.
  cancel_->setAutoDefault(false);
  cancel_->setDefault(false);
  auto* buttons = new QDialogButtonBox(this);
  buttons->addButton(cancel_, QDialogButtonBox::RejectRole);
  connect(buttons, &QDialogButtonBox::rejected, this, &StatusDisplayDialog::reject);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(group);
  layout->addWidget(buttons);
  layout->setSizeConstraint(QLayout::SetFixedSize);
}

void StatusDisplayDialog::ShowBars(const flashjobs::ProgressBars& bars) {
  erasing_->setValue(bars.erasing);
  writing_->setValue(bars.writing);
  verifying_->setValue(bars.verifying);
}

void StatusDisplayDialog::EndPolling() {
  polling_ = false;
  if (QMessageBox* question = question_.data(); question != nullptr) {
    question->reject();  // nothing left to stop
  }
}

void StatusDisplayDialog::Finish(int result) {
  EndPolling();
  done(result);
}

void StatusDisplayDialog::reject() {
  if (polling_ && !StopConfirmed()) {
    return;
  }
  QDialog::reject();
}

void StatusDisplayDialog::keyPressEvent(QKeyEvent* event) {
  const int key = event->key();
  if (key == Qt::Key_Return || key == Qt::Key_Enter || (polling_ && key == Qt::Key_Escape)) {
    event->accept();
    return;
  }
  QDialog::keyPressEvent(event);
}

bool StatusDisplayDialog::StopConfirmed() {
  if (question_) {
    return false;  // already asked
  }
  QMessageBox box(QMessageBox::Warning, ToQString(zarnik::text::kStatusDisplayTitle),
                  ToQString(zarnik::text::kStopFollowingQuestion),
                  QMessageBox::Yes | QMessageBox::No, this);
  box.setDefaultButton(QMessageBox::No);
  question_ = &box;
  QApplication::setOverrideCursor(Qt::ArrowCursor);
  runModal_(box);
  QApplication::restoreOverrideCursor();
  question_ = nullptr;
  // Polling that ended while the question was up has nothing left to stop.
  return polling_ && box.standardButton(box.clickedButton()) == QMessageBox::Yes;
}

void WorkerStatusDisplay::Run(flashjobs::StatusPoller& poller) {
  // The dialog lives on the user-interface thread; the worker reaches it only through calls
  // run there, which find it gone once it has closed.
  auto dialog = std::make_shared<QPointer<StatusDisplayDialog>>();
  auto closed = std::make_shared<std::promise<void>>();
  std::future<void> closing = closed->get_future();
  OnUiThread([&] { *dialog = new StatusDisplayDialog(runModal_, parent_); });
  PostToUi([dialog, closed, runModal = runModal_, &control = control_] {
    if (*dialog) {
      // A display left waiting for Cancel (the printer could not be read) is ended by a signal
      // as by a Cancel: the job then closes the printer's job before the program ends.
      RunAnsweredOnSignal(**dialog, runModal, control, [dialog] {
        StatusDisplayDialog* shown = dialog->data();
        if (shown != nullptr && !shown->Polling()) {
          shown->Finish(QDialog::Rejected);
        }
      });
    }
    if (*dialog) {
      delete dialog->data();
    }
    control.RequestStop();  // the display is gone: no more polling
    closed->set_value();
  });
  poller.SetProgressListener([dialog](const flashjobs::ProgressBars& bars) {
    PostToUi([dialog, bars] {
      if (*dialog) {
        (*dialog)->ShowBars(bars);
      }
    });
  });
  const auto wait = [&closing](std::chrono::milliseconds period) { closing.wait_for(period); };
  const flashjobs::PollState state = flashjobs::RunPollingLoop(poller, wait, &control_).state;
  OnUiThread([&] {
    if (!*dialog) {
      return;
    }
    if (state == flashjobs::PollState::kWaitingForCancel) {
      (*dialog)->EndPolling();
    } else {
      (*dialog)->Finish(state == flashjobs::PollState::kClosedOk ? QDialog::Accepted
                                                                 : QDialog::Rejected);
    }
  });
  closing.wait();
  poller.SetProgressListener({});
  poller.Cancel();  // a display left waiting has been cancelled by now
}

}  // namespace shell
