#include "window/PathField.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QValidator>

#include "window/FileFilter.h"
#include "window/QtText.h"
#include "zarnik/Strings.h"

namespace shell {
namespace {

// Typing or pasting a line break or a NUL into the path is refused. A path copied from a
// terminal with its line break would name a file beside the one the person sees named, and
// the system reads a name only up to a NUL: either way another file would be read or
// replaced. Paths set by Browse or from the settings are taken as they are.
class OneLinePath final : public QValidator {
 public:
  using QValidator::QValidator;

  State validate(QString& text, int& /*position*/) const override {
    for (const QChar letter : text) {
      if (letter == QChar::Null || letter == u'\n' || letter == u'\r') {
        return Invalid;
      }
    }
    return Acceptable;
  }
};

}  // namespace

PathField::PathField(std::string_view filterPairs, DialogRunner runModal, QWidget* parent)
    : QWidget(parent),
      runModal_(std::move(runModal)),
      edit_(new QLineEdit(this)),
      browse_(new QPushButton(ToQString(zarnik::text::kBrowse), this)) {
  SetFilter(filterPairs);
  edit_->setValidator(new OneLinePath(edit_));
  edit_->setMinimumWidth(320);
  browse_->setAutoDefault(false);
  auto* layout = new QHBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(edit_, 1);
  layout->addWidget(browse_);
  connect(browse_, &QPushButton::clicked, this, &PathField::Browse);
}

QString PathField::Path() const {
  return edit_->text();
}

void PathField::SetPath(const QString& path) {
  edit_->setText(path);
}

void PathField::SetFilter(std::string_view filterPairs) {
  filters_.clear();
  for (const auto& filter : ToQtFilters(filterPairs)) {
    filters_.append(ToQString(filter));
  }
}

void PathField::Browse() {
  const QString current = edit_->text();
  const QString folder = current.isEmpty() ? QString() : QFileInfo(current).absolutePath();
  QFileDialog dialog(this, QString(), folder);
  dialog.setObjectName("fileDialog");
  dialog.setNameFilters(filters_);
  dialog.setAcceptMode(QFileDialog::AcceptOpen);
  // Any name may be typed in, also that of a file still to be made (an output file).
  dialog.setFileMode(QFileDialog::AnyFile);
  dialog.setOption(QFileDialog::DontUseNativeDialog);
  if (runModal_(dialog) != QDialog::Accepted) {
    return;
  }
  const QStringList chosen = dialog.selectedFiles();
  if (!chosen.isEmpty() && !chosen.front().isEmpty()) {
    edit_->setText(QFileInfo(chosen.front()).absoluteFilePath());
  }
}

}  // namespace shell
