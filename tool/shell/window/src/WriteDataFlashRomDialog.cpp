#include "window/WriteDataFlashRomDialog.h"

#include <QButtonGroup>
#include <QDialogButtonBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>
#include <array>

#include "flashjobs/WriteDataFlashRom.h"
#include "settings/HexText.h"
#include "settings/UnsavedSettings.h"
#include "window/DataStreamView.h"
#include "window/QtText.h"
#include "window/QtUserInterface.h"
#include "window/StatusDisplayDialog.h"
#include "zarnik/Strings.h"

namespace shell {
namespace {

namespace text = zarnik::text;

constexpr std::string_view kSection = "FlashWrite";

std::string_view FilterOf(int dataType) {
  return dataType == flashjobs::kDataTypeDemoPrintData ? text::kFilterDemo : text::kFilterFirmware;
}

// The radio group of the three data types, their ids the data type numbers.
QGroupBox* MakeDataTypeGroup(QButtonGroup& types, QWidget* parent) {
  constexpr std::array<std::string_view, 3> kCaptions{text::kDataTypeMaskRomFirmware,
                                                      text::kDataTypeFirmware, text::kDataTypeDemo};
  auto* group = new QGroupBox(ToQString(text::kSelectDataTypeLabel), parent);
  auto* layout = new QVBoxLayout;
  for (std::size_t id = 0; id < kCaptions.size(); ++id) {
    auto* button = new QRadioButton(ToQString(kCaptions[id]));
    types.addButton(button, static_cast<int>(id));
    layout->addWidget(button);
  }
  group->setLayout(layout);
  return group;
}

}  // namespace

WriteDataFlashRomDialog::WriteDataFlashRomDialog(const ToolBundle& bundle, DialogRunner runModal,
                                                 QWidget* parent)
    : JobDialog(parent),
      bundle_(bundle),
      settings_(bundle.settingsFile),
      unreadable_(settings_.Load()),
      runModal_(std::move(runModal)),
      machineId_(settings::ReadMachineId(settings_)),
      file_(new PathField(text::kFilterFirmware, runModal_, this)),
      dataTypes_(new QButtonGroup(this)),
      execute_(new QPushButton(ToQString(text::kExecute), this)),
      cancel_(new QPushButton(ToQString(text::kCancel), this)),
      dataStream_(new DataStreamView(this)) {
  setObjectName("writeDataFlashRom");
  setWindowTitle(ToQString(zarnik::LoadString(zarnik::StringId::kWriteDataFlashRom)));
  file_->BrowseButton()->setText(ToQString(text::kBrowseAmp));

  auto* typeGroup = MakeDataTypeGroup(*dataTypes_, this);

  auto* buttons = new QDialogButtonBox(this);
  buttons->addButton(execute_, QDialogButtonBox::AcceptRole);
  buttons->addButton(cancel_, QDialogButtonBox::RejectRole);
  execute_->setDefault(true);
  connect(buttons, &QDialogButtonBox::accepted, this, &WriteDataFlashRomDialog::OnExecute);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(new QLabel(ToQString(text::kWriteFileNameLabel), this));
  layout->addWidget(file_);
  layout->addWidget(typeGroup);
  layout->addWidget(new QLabel(ToQString(text::kRemoveRomNote), this));
  layout->addWidget(dataStream_);
  layout->addWidget(buttons);
  layout->setSizeConstraint(QLayout::SetFixedSize);

  file_->SetPath(ToQString(settings_.ReadString(kSection, "FROMFile", "", kLongestStoredPath)));
  // Only the firmware types come back from the file: any stored value but 0 selects
  // "Firmware".
  const int stored = settings_.ReadInt(kSection, "FORQX44DX", 0);
  dataTypes_->button(stored == 0 ? 0 : 1)->setChecked(true);
  OnDataTypeChanged();
  connect(dataTypes_, &QButtonGroup::idToggled, this, [this](int, bool checked) {
    if (checked) {
      OnDataTypeChanged();
    }
  });
}

QRadioButton* WriteDataFlashRomDialog::DataTypeButton(int index) const {
  return qobject_cast<QRadioButton*>(dataTypes_->button(index));
}

int WriteDataFlashRomDialog::DataType() const {
  return dataTypes_->checkedId();
}

// Browse offers the files of the data type chosen when it is pressed.
void WriteDataFlashRomDialog::OnDataTypeChanged() {
  file_->SetFilter(FilterOf(DataType()));
}

void WriteDataFlashRomDialog::OnExecute() {
  // The machine id would be the default, not the printer's own: nothing is sent.
  if (unreadable_) {
    ShowMessageBox(this, runModal_, settings::DescribeUnreadableSettings(*unreadable_),
                   text::kProgramName, flashtools::MessageIcon::kExclamation);
    return;
  }
  const std::string path = ToUtf8(file_->Path());
  const int dataType = DataType();
  settings_.WriteString(kSection, "FROMFile", path);
  settings_.WriteInt(kSection, "FORQX44DX", dataType);

  std::uint8_t ownNumber = 0;
  std::uint8_t& commandNumber =
      bundle_.commandNumber != nullptr ? *bundle_.commandNumber : ownNumber;
  flashjobs::JobControl control;
  JobUserInterface ui(this, runModal_, control);
  WorkerStatusDisplay display(this, runModal_, control);
  const flashjobs::FlashWriteRequest request{
      path, dataType, machineId_, {bundle_.portKind, bundle_.transferMode, bundle_.outputFile}};
  auto result = flashtools::ToolResult::kFailed;
  EnableControls(false);
  dataStream_->Follow(control);
  RunDialogJob(control, [&] {
    result = flashjobs::WriteDataFlashRom(request, commandNumber, ui, display, control);
  });
  dataStream_->Stop();
  EnableControls(true);
  if (result != flashtools::ToolResult::kFailedKeepOpen) {
    accept();
  }
}

void WriteDataFlashRomDialog::EnableControls(bool enabled) {
  file_->setEnabled(enabled);
  for (QAbstractButton* button : dataTypes_->buttons()) {
    button->setEnabled(enabled);
  }
  execute_->setEnabled(enabled);
  cancel_->setVisible(enabled);
}

}  // namespace shell
