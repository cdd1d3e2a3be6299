#include "window/CAboutDialog.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>

#include "settings/SettingsLocation.h"
#include "window/Artwork.h"
#include "window/QtText.h"
#include "zarnik/Strings.h"

namespace shell {

CAboutDialog::CAboutDialog(QWidget* parent, const std::filesystem::path& settingsFile)
    : QDialog(parent) {
  setObjectName("about");
  setWindowTitle(ToQString(zarnik::text::kAboutTitle));
  auto* picture = new QLabel(this);
  picture->setPixmap(ProgramIcon().pixmap(32, 32));
  auto* name = new QLabel(ToQString(zarnik::text::kProgramName), this);
  auto* version = new QLabel(ToQString(zarnik::LoadString(zarnik::StringId::kAboutVersion)), this);
  version->setObjectName("versionLine");
  auto* settingsLine = new QLabel(ToQString(settings::DescribeSettingsFile(settingsFile)), this);
  settingsLine->setObjectName("settingsFile");
  settingsLine->setTextInteractionFlags(Qt::TextSelectableByMouse);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);

  auto* layout = new QGridLayout(this);
  layout->addWidget(picture, 0, 0, 3, 1, Qt::AlignTop);
  layout->addWidget(name, 0, 1);
  layout->addWidget(version, 1, 1);
  layout->addWidget(settingsLine, 2, 1);
  layout->addWidget(buttons, 0, 2, 3, 1, Qt::AlignTop);
  layout->setSizeConstraint(QLayout::SetFixedSize);
}

}  // namespace shell
