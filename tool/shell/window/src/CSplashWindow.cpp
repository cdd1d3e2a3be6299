#include "window/CSplashWindow.h"

#include <QApplication>
#include <QGuiApplication>
#include <QPaintEvent>
#include <QPainter>
#include <QScreen>
#include <QTimerEvent>
#include <algorithm>

#include "window/Artwork.h"

namespace shell {
namespace {

CSplashWindow* current = nullptr;
constexpr int kShowMilliseconds = 750;

bool DismissesSplash(const QEvent& event) {
  switch (event.type()) {
    case QEvent::KeyPress:
    case QEvent::ShortcutOverride:  // shortcuts and mnemonics are keys too
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
    case QEvent::NonClientAreaMouseButtonPress:
    case QEvent::NonClientAreaMouseButtonDblClick:
      return true;
    default:
      return false;
  }
}

}  // namespace

void CSplashWindow::ShowSplashScreen(QWidget* owner) {
  if (current != nullptr) {
    return;
  }
  current = new CSplashWindow(owner);
  current->show();
}

CSplashWindow* CSplashWindow::Current() {
  return current;
}

CSplashWindow::CSplashWindow(QWidget* owner)
    : QWidget(owner, Qt::SplashScreen | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint),
      owner_(owner),
      picture_(SplashPicture()) {
  setAttribute(Qt::WA_DeleteOnClose);
  setObjectName("splash");
  setCursor(Qt::ArrowCursor);
  setFixedSize(picture_.deviceIndependentSize().toSize());
  const QRect around = owner != nullptr ? owner->window()->frameGeometry() : QRect();
  QRect placed(QPoint(), size());
  placed.moveCenter(around.isValid() ? around.center() : QPoint(width() / 2, height() / 2));
  // Centred over a window near the desktop's edge it would stick out: it moves inside.
  const QScreen* screen = owner != nullptr ? owner->screen() : QGuiApplication::primaryScreen();
  if (screen != nullptr) {
    const QRect desktop = screen->availableGeometry();
    placed.moveLeft(std::clamp(placed.left(), desktop.left(), desktop.right() + 1 - width()));
    placed.moveTop(std::clamp(placed.top(), desktop.top(), desktop.bottom() + 1 - height()));
  }
  move(placed.topLeft());
  timer_.start(kShowMilliseconds, this);
  qApp->installEventFilter(this);
}

CSplashWindow::~CSplashWindow() {
  qApp->removeEventFilter(this);
  if (current == this) {
    current = nullptr;
  }
}

void CSplashWindow::paintEvent(QPaintEvent* /*event*/) {
  QPainter painter(this);
  painter.drawPixmap(0, 0, picture_);
}

void CSplashWindow::timerEvent(QTimerEvent* event) {
  if (event->timerId() == timer_.timerId()) {
    HideSplashScreen();
  }
}

bool CSplashWindow::eventFilter(QObject* watched, QEvent* event) {
  if (current == this && DismissesSplash(*event)) {
    // An accepted shortcut override keeps the shortcut from firing; the key press that
    // follows it is then consumed here like any other.
    event->accept();
    if (event->type() != QEvent::ShortcutOverride) {
      HideSplashScreen();
    }
    return true;
  }
  return QWidget::eventFilter(watched, event);
}

void CSplashWindow::HideSplashScreen() {
  timer_.stop();
  qApp->removeEventFilter(this);
  current = nullptr;
  close();  // deletes the window
  if (owner_ != nullptr) {
    owner_->window()->repaint();
  }
}

}  // namespace shell
