// The About box: the program's picture, its name, its version line, the settings file in use,
// and an OK button.
#pragma once

#include <QDialog>
#include <filesystem>

namespace shell {

class CAboutDialog final : public QDialog {
  Q_OBJECT

 public:
  CAboutDialog(QWidget* parent, const std::filesystem::path& settingsFile);
};

}  // namespace shell
