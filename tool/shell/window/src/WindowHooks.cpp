#include "window/WindowHooks.h"

#include <QDialog>

#include "window/CommandList.h"

namespace shell {

DialogRunner ExecDialogRunner() {
  return [](QDialog& dialog) { return dialog.exec(); };
}

ToolStarter RunToolStarter() {
  return RunTool;
}

}  // namespace shell
