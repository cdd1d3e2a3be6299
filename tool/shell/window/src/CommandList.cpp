#include "window/CommandList.h"

#include "window/AddHeaderDialog.h"
#include "window/BandArrangeDialog.h"
#include "window/CheckFileFormatDialog.h"
#include "window/GetVersionDialog.h"
#include "window/WriteDataFlashRomDialog.h"

namespace shell {
namespace {

template <typename Dialog>
void RunDialog(const ToolBundle& bundle, const DialogRunner& runModal, QWidget* parent) {
  Dialog dialog(bundle, runModal, parent);
  runModal(dialog);
}

}  // namespace

void RunTool(int position, const ToolBundle& bundle, const DialogRunner& runModal,
             QWidget* parent) {
  switch (position) {
    case 1:
      RunDialog<GetVersionDialog>(bundle, runModal, parent);
      return;
    case 2:
      RunDialog<WriteDataFlashRomDialog>(bundle, runModal, parent);
      return;
    case 3:
      RunDialog<AddHeaderDialog>(bundle, runModal, parent);
      return;
    case 4:
      RunDialog<CheckFileFormatDialog>(bundle, runModal, parent);
      return;
    case 5:
      RunDialog<BandArrangeDialog>(bundle, runModal, parent);
      return;
    default:
      return;
  }
}

}  // namespace shell
