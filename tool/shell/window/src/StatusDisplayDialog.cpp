#include "window/StatusDisplayDialog.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

#include "window/QtText.h"
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

StatusDisplayDialog::StatusDisplayDialog(flashjobs::StatusPoller& poller, QWidget* parent)
    : QDialog(parent),
      poller_(poller),
      erasing_(MakeBar(this, "erasing")),
      writing_(MakeBar(this, "writing")),
      verifying_(MakeBar(this, "verifying")),
      cancel_(new QPushButton(ToQString(zarnik::text::kCancel), this)),
      timer_(new QTimer(this)) {
  setObjectName("statusDisplay");
  setWindowTitle(ToQString(zarnik::text::kStatusDisplayTitle));
  auto* group = new QGroupBox(ToQString(zarnik::text::kWritingProcess), this);
  auto* rows = new QFormLayout(group);
  rows->addRow(ToQString(zarnik::text::kErasingLabel), erasing_);
  rows->addRow(ToQString(zarnik::text::kWritingLabel), writing_);
  rows->addRow(ToQString(zarnik::text::kVerifyingLabel), verifying_);
  auto* buttons = new QDialogButtonBox(this);
  buttons->addButton(cancel_, QDialogButtonBox::RejectRole);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(group);
  layout->addWidget(buttons);
  layout->setSizeConstraint(QLayout::SetFixedSize);

  poller_.SetProgressListener([this](const flashjobs::ProgressBars& bars) { ShowBars(bars); });
  poller_.Start();
  timer_->setInterval(static_cast<int>(flashjobs::StatusPoller::kTickPeriod.count()));
  connect(timer_, &QTimer::timeout, this, &StatusDisplayDialog::OnTick);
  timer_->start();
}

bool StatusDisplayDialog::Polling() const {
  return poller_.Last().state == flashjobs::PollState::kPolling;
}

void StatusDisplayDialog::reject() {
  timer_->stop();
  poller_.Cancel();
  QDialog::reject();
}

void StatusDisplayDialog::OnTick() {
  // A tick that ended the polling shows its message in a box of its own; the timer goes on
  // meanwhile and must not read again.
  if (ticking_) {
    return;
  }
  ticking_ = true;
  const flashjobs::TickResult result = poller_.Tick();
  ticking_ = false;
  switch (result.state) {
    case flashjobs::PollState::kPolling:
      return;
    case flashjobs::PollState::kWaitingForCancel:
      timer_->stop();
      return;
    case flashjobs::PollState::kClosedOk:
      timer_->stop();
      accept();
      return;
    case flashjobs::PollState::kClosedCancel:
      timer_->stop();
      QDialog::reject();
      return;
  }
}

void StatusDisplayDialog::ShowBars(const flashjobs::ProgressBars& bars) {
  erasing_->setValue(bars.erasing);
  writing_->setValue(bars.writing);
  verifying_->setValue(bars.verifying);
}

void DialogStatusDisplay::Run(flashjobs::StatusPoller& poller) {
  StatusDisplayDialog dialog(poller, parent_);
  runModal_(dialog);
  poller.SetProgressListener({});
  // Closed from outside (the runner, the window system) while still polling: that is Cancel.
  poller.Cancel();
}

}  // namespace shell
