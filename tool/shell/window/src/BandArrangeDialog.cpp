#include "window/BandArrangeDialog.h"

#include "window/QtText.h"
#include "window/QtUserInterface.h"
#include "zarnik/Strings.h"

namespace shell {
namespace {

constexpr std::string_view kSection = "BandAdjust";

}  // namespace

BandArrangeDialog::BandArrangeDialog(const ToolBundle& bundle, DialogRunner runModal,
                                     QWidget* parent)
    : FileToolDialog(zarnik::LoadString(zarnik::StringId::kArrangeBands), bundle,
                     std::move(runModal), parent),
      input_(AddPathRow(zarnik::text::kInputFileName, zarnik::text::kFilterAll)),
      output_(AddPathRow(zarnik::text::kOutputFileName, zarnik::text::kFilterAll)) {
  setObjectName("arrangeBands");
  AddButtons();
  input_->SetPath(ToQString(Settings().ReadString(kSection, "InputFile", "", kLongestStoredPath)));
  output_->SetPath(
      ToQString(Settings().ReadString(kSection, "OutputFile", "", kLongestStoredPath)));
}

flashtools::ToolResult BandArrangeDialog::Excute() {
  const auto input = ToUtf8(input_->Path());
  const auto output = ToUtf8(output_->Path());
  Settings().WriteString(kSection, "InputFile", input);
  Settings().WriteString(kSection, "OutputFile", output);
  QtUserInterface ui(this, Runner());
  if (!flashtools::RegularInputOrRefused(input, ui)) {
    return flashtools::ToolResult::kFailedKeepOpen;
  }
  return RunTool([&](flashtools::UserInterface& jobUi) {
    return flashtools::ArrangeBands(input, output, jobUi);
  });
}

}  // namespace shell
