// The job's side of the person, declared with QtUserInterface.
#include <QApplication>
#include <string>

#include "channel/FailureExplanation.h"
#include "window/JobRunner.h"
#include "window/QtUserInterface.h"
#include "zarnik/Strings.h"

namespace shell {
namespace {

bool IsFailureCaption(std::string_view caption) {
  return caption == zarnik::text::kError || caption == zarnik::text::kTimeoutError ||
         caption == zarnik::LoadString(zarnik::StringId::kErrorCaption);
}

}  // namespace

void JobUserInterface::ShowMessage(std::string_view text, std::string_view caption,
                                   flashtools::MessageIcon icon) {
  // Taken here on the worker, right after the call that failed and before the next one.
  const std::string detail = IsFailureCaption(caption) ? channel::PortFailureDetail(text) : "";
  OnUiThread([&] {
    // The person is asked to read and answer: the arrow, not the busy cursor, for the box.
    QApplication::setOverrideCursor(Qt::ArrowCursor);
    ShowMessageBox(Parent(), Runner(), text, caption, icon, detail);
    QApplication::restoreOverrideCursor();
  });
}

}  // namespace shell
