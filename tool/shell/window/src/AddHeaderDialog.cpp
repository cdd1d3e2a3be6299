#include "window/AddHeaderDialog.h"

#include "window/QtText.h"
#include "window/QtUserInterface.h"
#include "zarnik/Strings.h"

namespace shell {
namespace {

constexpr std::string_view kSection = "VopMaker";

}  // namespace

AddHeaderDialog::AddHeaderDialog(const ToolBundle& bundle, DialogRunner runModal, QWidget* parent)
    : FileToolDialog(zarnik::LoadString(zarnik::StringId::kAddHeader), bundle, std::move(runModal),
                     parent),
      input_(AddPathRow(zarnik::text::kInputFileName, zarnik::text::kFilterAll)),
      output_(AddPathRow(zarnik::text::kOutputFileName, zarnik::text::kFilterAll)),
      dataType_(Settings().ReadInt(kSection, "SelDType", 0)) {
  setObjectName("addHeader");
  AddButtons();
  input_->SetPath(ToQString(Settings().ReadString(kSection, "ReadFile", "", kLongestStoredPath)));
  output_->SetPath(ToQString(Settings().ReadString(kSection, "WriteFile", "", kLongestStoredPath)));
}

flashtools::ToolResult AddHeaderDialog::Excute() {
  const auto input = ToUtf8(input_->Path());
  const auto output = ToUtf8(output_->Path());
  Settings().WriteString(kSection, "ReadFile", input);
  Settings().WriteString(kSection, "WriteFile", output);
  Settings().WriteInt(kSection, "SelDType", dataType_);
  QtUserInterface ui(this, Runner());
  if (!flashtools::RegularInputOrRefused(input, ui)) {
    return flashtools::ToolResult::kFailedKeepOpen;
  }
  return RunTool([&](flashtools::UserInterface& jobUi) {
    return flashtools::AddHeader(input, output, jobUi);
  });
}

}  // namespace shell
