#include "window/GetVersionDialog.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "flashjobs/GetVersion.h"
#include "settings/HexText.h"
#include "settings/UnsavedSettings.h"
#include "window/QtText.h"
#include "window/QtUserInterface.h"
#include "zarnik/Strings.h"

namespace shell {

GetVersionDialog::GetVersionDialog(const ToolBundle& bundle, DialogRunner runModal, QWidget* parent)
    : JobDialog(parent),
      bundle_(bundle),
      settings_(bundle.settingsFile),
      runModal_(std::move(runModal)),
      yes_(new QPushButton(ToQString(zarnik::text::kYes), this)),
      no_(new QPushButton(ToQString(zarnik::text::kNo), this)) {
  setObjectName("getVersion");
  setWindowTitle(ToQString(zarnik::LoadString(zarnik::StringId::kGetVersion)));
  auto* buttons = new QDialogButtonBox(this);
  buttons->addButton(yes_, QDialogButtonBox::YesRole);
  buttons->addButton(no_, QDialogButtonBox::NoRole);
  buttons->setCenterButtons(true);
  yes_->setDefault(true);
  connect(yes_, &QPushButton::clicked, this, &GetVersionDialog::OnYes);
  connect(no_, &QPushButton::clicked, this, &QDialog::reject);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(new QLabel(ToQString(zarnik::text::kGetVersionQuestion), this));
  layout->addWidget(buttons);
  layout->setSizeConstraint(QLayout::SetFixedSize);
}

void GetVersionDialog::OnYes() {
  // The machine id is read afresh for every query; from a file that cannot be read it would be
  // the default, not the printer's own, so nothing is sent.
  if (const auto unreadable = settings_.Load()) {
    ShowMessageBox(this, runModal_, settings::DescribeUnreadableSettings(*unreadable),
                   zarnik::text::kProgramName, flashtools::MessageIcon::kExclamation);
    return;
  }
  const std::uint8_t machineId = settings::ReadMachineId(settings_);
  std::uint8_t ownNumber = 0;
  std::uint8_t& commandNumber =
      bundle_.commandNumber != nullptr ? *bundle_.commandNumber : ownNumber;
  flashjobs::JobControl control;
  JobUserInterface ui(this, runModal_, control);
  const flashjobs::PortTarget port{bundle_.portKind, bundle_.transferMode, bundle_.outputFile};
  yes_->setEnabled(false);
  no_->setEnabled(false);
  RunDialogJob(control, [&] {
    flashjobs::GetVersion(machineId, port, commandNumber, ui, flashjobs::SleepOnThisThread,
                          control);
  });
  accept();
}

}  // namespace shell
