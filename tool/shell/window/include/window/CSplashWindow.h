// The start-up picture: shown for 750 ms, or until a key or mouse button is pressed anywhere
// in the program; that press is consumed.
#pragma once

#include <QBasicTimer>
#include <QPixmap>
#include <QWidget>

namespace shell {

class CSplashWindow final : public QWidget {
  Q_OBJECT

 public:
  // Shows the picture centred over the owner's window, unless one is already showing.
  static void ShowSplashScreen(QWidget* owner);
  // The one splash window while it exists, else null.
  static CSplashWindow* Current();

  ~CSplashWindow() override;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void timerEvent(QTimerEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  explicit CSplashWindow(QWidget* owner);
  void HideSplashScreen();

  QWidget* owner_;
  QPixmap picture_;
  QBasicTimer timer_;
};

}  // namespace shell
