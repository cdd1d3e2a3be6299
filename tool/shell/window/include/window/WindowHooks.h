// What the window asks of the world outside it: running a dialog modally, opening a tool,
// the port library's version and the parallel port reset. The program wires the real ones; tests
// put their own in, so that no dialog blocks and no port is needed.
#pragma once

#include <cstdint>
#include <functional>

class QDialog;
class QWidget;

namespace shell {

// Runs a dialog (a tool dialog, a file dialog, a message box) modally; returns its result.
using DialogRunner = std::function<int(QDialog&)>;

// The usual runner: QDialog::exec.
DialogRunner ExecDialogRunner();

struct ToolBundle;

// Opens the tool at a list position with the panel's bundle (RunTool of CommandList.h).
using ToolStarter = std::function<void(int position, const ToolBundle& bundle,
                                       const DialogRunner& runModal, QWidget* parent)>;

// The usual starter: RunTool.
ToolStarter RunToolStarter();

struct WindowHooks {
  DialogRunner runModal = ExecDialogRunner();
  ToolStarter runTool = RunToolStarter();
  std::function<std::int32_t()> portLibraryVersion;
  std::function<void()> initLptPort;
};

}  // namespace shell
