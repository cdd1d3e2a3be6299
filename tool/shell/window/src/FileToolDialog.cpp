#include "window/FileToolDialog.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QPushButton>
#include <QVBoxLayout>

#include "window/QtText.h"
#include "zarnik/Strings.h"

namespace shell {

FileToolDialog::FileToolDialog(std::string_view title, const ToolBundle& bundle,
                               DialogRunner runModal, QWidget* parent)
    : QDialog(parent),
      settings_(bundle.settingsFile),
      runModal_(std::move(runModal)),
      rows_(new QFormLayout) {
  setWindowTitle(ToQString(title));
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(rows_);
  layout->setSizeConstraint(QLayout::SetFixedSize);
}

PathField* FileToolDialog::AddPathRow(std::string_view label, std::string_view filterPairs) {
  auto* field = new PathField(filterPairs, runModal_, this);
  if (label.empty()) {
    rows_->addRow(field);
  } else {
    rows_->addRow(ToQString(label), field);
  }
  return field;
}

void FileToolDialog::AddButtons() {
  auto* buttons = new QDialogButtonBox(this);
  excute_ = buttons->addButton(ToQString(zarnik::text::kExcute), QDialogButtonBox::AcceptRole);
  buttons->addButton(ToQString(zarnik::text::kCancel), QDialogButtonBox::RejectRole);
  excute_->setDefault(true);
  connect(buttons, &QDialogButtonBox::accepted, this, &FileToolDialog::OnExcute);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  layout()->addWidget(buttons);
}

void FileToolDialog::OnExcute() {
  if (Excute() != flashtools::ToolResult::kFailedKeepOpen) {
    accept();
  }
}

}  // namespace shell
