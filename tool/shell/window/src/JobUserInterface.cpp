// The job's side of the person, declared with QtUserInterface.
#include <QApplication>
#include <QDialog>
#include <QTimer>
#include <string>

#include "channel/FailureExplanation.h"
#include "window/JobRunner.h"
#include "window/QtUserInterface.h"

namespace shell {
namespace {
constexpr int kStopCheckMs = 100;
}  // namespace

int RunAnsweredOnSignal(QDialog& dialog, const DialogRunner& runModal,
                        const flashjobs::JobControl& control, const std::function<void()>& answer) {
  QTimer watch;
  QObject::connect(&watch, &QTimer::timeout, &dialog, [&] {
    if (control.StoppedBySignal()) {
      answer();
    }
  });
  watch.start(kStopCheckMs);
  return runModal(dialog);
}

void JobUserInterface::ShowMessage(std::string_view text, std::string_view caption,
                                   flashtools::MessageIcon icon) {
  // Taken here on the worker, right after the call that failed and before the next one.
  const std::string detail =
      channel::IsFailureCaption(caption) ? channel::PortFailureDetail(text) : "";
  OnUiThread([&] {
    // The person is asked to read and answer: the arrow, not the busy cursor, for the box.
    QApplication::setOverrideCursor(Qt::ArrowCursor);
    const DialogRunner answeredOnStop = [this](QDialog& box) {
      return RunAnsweredOnSignal(box, Runner(), control_, [&box] { box.accept(); });
    };
    ShowMessageBox(Parent(), answeredOnStop, text, caption, icon, detail);
    QApplication::restoreOverrideCursor();
  });
}

}  // namespace shell
