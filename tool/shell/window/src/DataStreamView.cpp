#include "window/DataStreamView.h"

#include <QLabel>
#include <QProgressBar>
#include <QTimer>
#include <QVBoxLayout>

#include "flashjobs/DataStreamProgress.h"
#include "window/QtText.h"
#include "zarnik/Strings.h"

namespace shell {
namespace {

constexpr int kRefreshMs = 100;
constexpr int kBarSteps = 1000;

}  // namespace

DataStreamView::DataStreamView(QWidget* parent)
    : QWidget(parent),
      text_(new QLabel(this)),
      bar_(new QProgressBar(this)),
      timer_(new QTimer(this)) {
  setObjectName("dataStream");
  bar_->setRange(0, kBarSteps);
  bar_->setTextVisible(true);
  bar_->setFormat("%p%");
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(new QLabel(ToQString(zarnik::text::kSendingDataFile), this));
  layout->addWidget(bar_);
  layout->addWidget(text_);
  timer_->setInterval(kRefreshMs);
  connect(timer_, &QTimer::timeout, this, &DataStreamView::Refresh);
  hide();
}

void DataStreamView::Follow(const flashjobs::JobControl& control) {
  control_ = &control;
  timer_->start();
}

void DataStreamView::Stop() {
  Refresh();
  timer_->stop();
  control_ = nullptr;
}

void DataStreamView::Refresh() {
  if (control_ == nullptr) {
    return;
  }
  const flashjobs::DataStreamProgress progress = flashjobs::CurrentDataStream(*control_);
  if (progress.state == flashjobs::JobControl::Stream::kNone) {
    return;
  }
  show();
  const auto steps = progress.total == 0 ? 0 : progress.sent * kBarSteps / progress.total;
  bar_->setValue(static_cast<int>(steps));
  text_->setText(ToQString(flashjobs::DescribeDataStream(progress)));
}

}  // namespace shell
