#include "window/ScreenshotTour.h"

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QListWidget>
#include <QMessageBox>
#include <QPixmap>
#include <QRegularExpression>
#include <QTimer>
#include <cstdio>

#include "window/CMainFrame.h"
#include "window/CSplashWindow.h"
#include "window/CTessikView.h"
#include "window/QtText.h"

namespace shell {
namespace {

// A file name from a text: lower-case words joined by '-', whole words up to 40 characters.
QString Slug(const QString& text) {
  QString slug;
  for (const QString& word :
       text.toLower().split(QRegularExpression("[^a-z0-9]+"), Qt::SkipEmptyParts)) {
    if (!slug.isEmpty() && slug.size() + 1 + word.size() > 40) {
      break;
    }
    slug += (slug.isEmpty() ? "" : "-") + word;
  }
  return slug.isEmpty() ? QString("dialog") : slug;
}

void Save(QWidget& widget, const std::filesystem::path& folder, const QString& name) {
  std::filesystem::create_directories(folder);
  auto file = folder / ToPath(name + ".png");
  for (int n = 2; std::filesystem::exists(file); ++n) {
    file = folder / ToPath(name + "-" + QString::number(n) + ".png");
  }
  const QString path = QString::fromStdString(file.string());
  if (widget.grab().save(path)) {
    std::printf("%s\n", file.c_str());
  } else {
    std::fprintf(stderr, "zarnik: cannot save %s\n", file.c_str());
  }
}

}  // namespace

DialogRunner ScreenshotRunner(const std::filesystem::path& folder) {
  return [folder](QDialog& dialog) {
    dialog.show();
    QApplication::processEvents();
    const auto* box = qobject_cast<QMessageBox*>(&dialog);
    const QString name = !dialog.objectName().isEmpty() ? dialog.objectName()
                         : box != nullptr               ? Slug(box->text())
                                                        : Slug(dialog.windowTitle());
    Save(dialog, folder, name);
    dialog.close();
    return static_cast<int>(QDialog::Rejected);
  };
}

void StartScreenshotTour(CMainFrame& frame, const std::filesystem::path& folder) {
  auto* start = new QTimer(&frame);
  start->setSingleShot(true);
  QObject::connect(start, &QTimer::timeout, &frame, [&frame, folder] {
    if (auto* splash = CSplashWindow::Current()) {
      Save(*splash, folder, "splash");
    }
    Save(frame, folder, "main-window");
    CTessikView& view = *frame.View();
    for (int row = 0; row < view.CommandListBox()->count(); ++row) {
      view.CommandListBox()->setCurrentRow(row);
      view.OnSelect();
    }
    frame.AboutAction()->trigger();
    frame.close();
  });
  start->start(0);
}

}  // namespace shell
