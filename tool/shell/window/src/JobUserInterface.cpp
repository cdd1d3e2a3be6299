// The job's side of the person, declared with QtUserInterface.
#include <QApplication>
#include <string>

#include "channel/FailureExplanation.h"
#include "window/JobRunner.h"
#include "window/QtUserInterface.h"

namespace shell {

void JobUserInterface::ShowMessage(std::string_view text, std::string_view caption,
                                   flashtools::MessageIcon icon) {
  // Taken here on the worker, right after the call that failed and before the next one.
  const std::string detail =
      channel::IsFailureCaption(caption) ? channel::PortFailureDetail(text) : "";
  OnUiThread([&] {
    // The person is asked to read and answer: the arrow, not the busy cursor, for the box.
    QApplication::setOverrideCursor(Qt::ArrowCursor);
    ShowMessageBox(Parent(), Runner(), text, caption, icon, detail);
    QApplication::restoreOverrideCursor();
  });
}

}  // namespace shell
