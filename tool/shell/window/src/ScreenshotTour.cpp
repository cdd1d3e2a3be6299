#include "window/ScreenshotTour.h"

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QFontMetrics>
#include <QListWidget>
#include <QMessageBox>
#include <QPainter>
#include <QPixmap>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QThread>
#include <QTimer>
#include <cstdio>

#include "window/CMainFrame.h"
#include "window/CSplashWindow.h"
#include "window/CTessikView.h"
#include "window/DataStreamView.h"
#include "window/GetVersionDialog.h"
#include "window/QtText.h"
#include "window/StatusDisplayDialog.h"
#include "window/WriteDataFlashRomDialog.h"

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

// The picture of a window as a desktop shows it. The display the pictures are taken on has no
// window manager, so the title bar with the window's caption is drawn here above the grab;
// frameless windows (the splash) are taken as they are.
QPixmap Picture(QWidget& widget) {
  QPixmap content = widget.grab();
  if (widget.windowFlags().testFlag(Qt::FramelessWindowHint)) {
    return content;
  }
  QFont font = widget.font();
  font.setBold(true);
  const QFontMetrics metrics(font);
  const int barHeight = metrics.height() + 10;
  const int width = content.width() + 2;
  QPixmap picture(width, content.height() + barHeight + 1);
  const QPalette& palette = widget.palette();
  picture.fill(palette.color(QPalette::Dark));
  QPainter painter(&picture);
  painter.fillRect(1, 1, width - 2, barHeight - 1, palette.color(QPalette::Highlight));
  painter.setPen(palette.color(QPalette::HighlightedText));
  painter.setFont(font);
  const QRect titleArea(8, 1, width - 16, barHeight - 1);
  painter.drawText(titleArea, Qt::AlignLeft | Qt::AlignVCenter,
                   metrics.elidedText(widget.windowTitle(), Qt::ElideRight, titleArea.width()));
  painter.drawPixmap(1, barHeight, content);
  return picture;
}

void Save(QWidget& widget, const std::filesystem::path& folder, const QString& name) {
  std::filesystem::create_directories(folder);
  auto file = folder / ToPath(name + ".png");
  for (int n = 2; std::filesystem::exists(file); ++n) {
    file = folder / ToPath(name + "-" + QString::number(n) + ".png");
  }
  const QString path = QString::fromStdString(file.string());
  if (Picture(widget).save(path)) {
    std::printf("%s\n", file.c_str());
  } else {
    std::fprintf(stderr, "zarnik: cannot save %s\n", file.c_str());
  }
}

// Lets the Status Display poll until the write bar is about halfway (or the polling has
// ended, or 30 s have passed).
void RunUntilMidWrite(StatusDisplayDialog& display) {
  constexpr int kMidWrite = 50;
  constexpr qint64 kLimitMs = 30000;
  QElapsedTimer clock;
  clock.start();
  while (display.isVisible() && display.Polling() && display.WritingBar()->value() < kMidWrite &&
         clock.elapsed() < kLimitMs) {
    QApplication::processEvents(QEventLoop::AllEvents, 20);
    QThread::msleep(10);
  }
}

// Takes the dialog once its data stream is about half sent (on a slow link), while the job
// runs.
void TakeWhenHalfSent(WriteDataFlashRomDialog& flash, const std::filesystem::path& folder) {
  constexpr int kHalf = 450;  // of 1000
  auto* watch = new QTimer(&flash);
  QObject::connect(watch, &QTimer::timeout, &flash, [&flash, folder, watch] {
    if (flash.DataStream()->isVisible() && flash.DataStream()->Bar()->value() >= kHalf) {
      watch->stop();
      Save(flash, folder, "sending-the-data-file");
    }
  });
  watch->start(10);
}

}  // namespace

DialogRunner ScreenshotRunner(const std::filesystem::path& folder, bool operatePrinterTools) {
  return [folder, operatePrinterTools](QDialog& dialog) {
    dialog.show();
    QApplication::processEvents();
    auto* display = qobject_cast<StatusDisplayDialog*>(&dialog);
    if (display != nullptr) {
      RunUntilMidWrite(*display);
    }
    const auto* box = qobject_cast<QMessageBox*>(&dialog);
    // Message boxes are named after their text, other dialogs after their caption.
    const QString name = box != nullptr ? Slug(box->text()) : Slug(dialog.windowTitle());
    Save(dialog, folder, name);
    if (operatePrinterTools) {
      if (auto* version = qobject_cast<GetVersionDialog*>(&dialog)) {
        version->YesButton()->click();
      } else if (auto* flash = qobject_cast<WriteDataFlashRomDialog*>(&dialog)) {
        flash->DataTypeButton(2)->setChecked(true);
        TakeWhenHalfSent(*flash, folder);
        flash->ExecuteButton()->click();
      }
    }
    // Taking a message box or the Status Display ends it as Cancel would.
    if (dialog.isVisible()) {
      dialog.reject();
    }
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
