// A path edit with its "Browse" button. Browse opens a file-open dialog in the folder of the
// path in the edit; a confirmed, non-empty choice replaces the path with the full path.
#pragma once

#include <QString>
#include <QWidget>
#include <cstddef>
#include <string_view>

#include "window/WindowHooks.h"

class QLineEdit;
class QPushButton;

namespace shell {

// How much of a path the dialogs take back from the settings file: as long a path as the
// system opens, so that a path saved is shown and used again whole. A path cut to fewer bytes
// would name another file, or end inside a character of its last letter.
constexpr std::size_t kLongestStoredPath = 4095;

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
