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

void JobUserInterface::ShowMessage(std::string_view text, std::string_view caption,
                                   flashtools::MessageIcon icon) {
  // Taken here on the worker, right after the call that failed and before the next one.
  const std::string detail =
      channel::IsFailureCaption(caption) ? channel::PortFailureDetail(text) : "";
  OnUiThread([&] {
    // The person is asked to read and answer: the arrow, not the busy cursor, for the box.
    QApplication::setOverrideCursor(Qt::ArrowCursor);
    QTimer watch;
    const DialogRunner answeredOnStop = [&](QDialog& box) {
      QObject::connect(&watch, &QTimer::timeout, &box, [&] {
        if (control_.StoppedBySignal()) {
          box.accept();
        }
      });
      watch.start(kStopCheckMs);
      return Runner()(box);
    };
    ShowMessageBox(Parent(), answeredOnStop, text, caption, icon, detail);
    QApplication::restoreOverrideCursor();
  });
}

}  // namespace shell
