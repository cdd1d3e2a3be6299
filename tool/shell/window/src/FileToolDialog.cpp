#include "window/FileToolDialog.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QPointer>
#include <QPushButton>
#include <QVBoxLayout>

#include "flashjobs/JobControl.h"
#include "window/QtText.h"
#include "window/QtUserInterface.h"
#include "zarnik/Strings.h"

namespace shell {

FileToolDialog::FileToolDialog(std::string_view title, const ToolBundle& bundle,
                               DialogRunner runModal, QWidget* parent)
    : JobDialog(parent),
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
  buttons_ = new QDialogButtonBox(this);
  excute_ = buttons_->addButton(ToQString(zarnik::text::kExcute), QDialogButtonBox::AcceptRole);
  buttons_->addButton(ToQString(zarnik::text::kCancel), QDialogButtonBox::RejectRole);
  excute_->setDefault(true);
  connect(buttons_, &QDialogButtonBox::accepted, this, &FileToolDialog::OnExcute);
  connect(buttons_, &QDialogButtonBox::rejected, this, &QDialog::reject);
  layout()->addWidget(buttons_);
}

flashtools::ToolResult FileToolDialog::RunTool(const Tool& tool) {
  // Nothing stops a file tool half way: a signal ends the program, and the tool's unfinished
  // output goes with it.
  const flashjobs::JobControl neverStopped;
  JobUserInterface ui(this, runModal_, neverStopped);
  const QPointer<QWidget> focused = focusWidget();
  TakeInput(false);
  auto result = flashtools::ToolResult::kFailed;
  RunUnclosable([&] { result = tool(ui); });
  TakeInput(true);
  if (focused != nullptr) {
    focused->setFocus();
  }
  return result;
}

void FileToolDialog::TakeInput(bool take) {
  for (auto* field : findChildren<PathField*>()) {
    field->setEnabled(take);
  }
  buttons_->setEnabled(take);
}

void FileToolDialog::OnExcute() {
  if (Excute() != flashtools::ToolResult::kFailedKeepOpen) {
    accept();
  }
}

}  // namespace shell
