#include "window/CheckFileFormatDialog.h"

#include "window/QtText.h"
#include "window/QtUserInterface.h"
#include "zarnik/Strings.h"

namespace shell {
namespace {

constexpr std::string_view kSection = "VopFileChk";

}  // namespace

CheckFileFormatDialog::CheckFileFormatDialog(const ToolBundle& bundle, DialogRunner runModal,
                                             QWidget* parent)
    : FileToolDialog(zarnik::LoadString(zarnik::StringId::kCheckFileFormat), bundle,
                     std::move(runModal), parent),
      file_(AddPathRow({}, zarnik::text::kFilterVop)) {
  setObjectName("checkFileFormat");
  AddButtons();
  file_->SetPath(ToQString(Settings().ReadString(kSection, "Check", "", kLongestStoredPath)));
}

flashtools::ToolResult CheckFileFormatDialog::Excute() {
  const auto path = ToUtf8(file_->Path());
  Settings().WriteString(kSection, "Check", path);
  QtUserInterface ui(this, Runner());
  if (!flashtools::RegularInputOrRefused(path, ui)) {
    return flashtools::ToolResult::kFailedKeepOpen;
  }
  return RunTool(
      [&](flashtools::UserInterface& jobUi) { return flashtools::CheckFileFormat(path, jobUi); });
}

}  // namespace shell
