#include "window/CommandList.h"

#include <string>

#include "window/QtUserInterface.h"

#include "window/AddHeaderDialog.h"
#include "window/BandArrangeDialog.h"
#include "window/CheckFileFormatDialog.h"

namespace shell {
namespace {

void ShowNotAvailable(int position, const DialogRunner& runModal, QWidget* parent) {
  const std::string_view format = zarnik::text::kToolNotAvailableFormat;
  const auto mark = format.find("%s");
  std::string text(format.substr(0, mark));
  text += zarnik::LoadString(kCommandList.at(static_cast<std::size_t>(position - 1)));
  text += format.substr(mark + 2);
  ShowMessageBox(parent, runModal, text, zarnik::text::kProgramName,
                 flashtools::MessageIcon::kExclamation);
}

template <typename Dialog>
void RunDialog(const ToolBundle& bundle, const DialogRunner& runModal, QWidget* parent) {
  Dialog dialog(bundle, runModal, parent);
  runModal(dialog);
}

}  // namespace

void RunTool(int position, const ToolBundle& bundle, const DialogRunner& runModal,
             QWidget* parent) {
  switch (position) {
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
      if (position >= 1 && position <= static_cast<int>(kCommandList.size())) {
        ShowNotAvailable(position, runModal, parent);
      }
      return;
  }
}

}  // namespace shell
