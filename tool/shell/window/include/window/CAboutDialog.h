// The About box: the program's picture, its name and its version line, and an OK button.
#pragma once

#include <QDialog>

namespace shell {

class CAboutDialog final : public QDialog {
  Q_OBJECT

 public:
  explicit CAboutDialog(QWidget* parent);
};

}  // namespace shell
