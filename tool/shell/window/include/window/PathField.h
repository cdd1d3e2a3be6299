// A path edit with its "Browse" button. Browse opens a file-open dialog in the folder of the
// path in the edit; a confirmed, non-empty choice replaces the path with the full path.
#pragma once

#include <QString>
#include <QWidget>
#include <string_view>

#include "window/WindowHooks.h"

class QLineEdit;
class QPushButton;

namespace shell {

class PathField final : public QWidget {
  Q_OBJECT

 public:
  // filterPairs: the tool's "Name (*.x)|*.x||" filter.
  PathField(std::string_view filterPairs, DialogRunner runModal, QWidget* parent);

  QString Path() const;
  void SetPath(const QString& path);
  // The filter Browse offers from now on, as "Name (*.x)|*.x||" pairs.
  void SetFilter(std::string_view filterPairs);
  QLineEdit* Edit() const { return edit_; }
  QPushButton* BrowseButton() const { return browse_; }

 private:
  void Browse();

  QStringList filters_;
  DialogRunner runModal_;
  QLineEdit* edit_;
  QPushButton* browse_;
};

}  // namespace shell
