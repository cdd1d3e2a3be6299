// The data stream of a flash write on its way to the printer: a bar with the bytes sent out
// of the total and the transfer rate, kept up to date from the job's control while the worker
// sends. Hidden until the stream begins.
#pragma once

#include <QWidget>

#include "flashjobs/JobControl.h"

class QLabel;
class QProgressBar;
class QTimer;

namespace shell {

class DataStreamView final : public QWidget {
  Q_OBJECT

 public:
  explicit DataStreamView(QWidget* parent);

  // Follows the job's data stream until Stop; the control must outlive the following.
  void Follow(const flashjobs::JobControl& control);
  // Shows the stream as it stands (its end, after the job) and stops following.
  void Stop();

  QProgressBar* Bar() const { return bar_; }
  QLabel* Text() const { return text_; }

 private:
  void Refresh();

  const flashjobs::JobControl* control_ = nullptr;
  QLabel* text_;
  QProgressBar* bar_;
  QTimer* timer_;
};

}  // namespace shell
