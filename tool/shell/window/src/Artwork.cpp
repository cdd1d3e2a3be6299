#include "window/Artwork.h"

#include <QFont>
#include <QLinearGradient>
#include <QPainter>

#include "window/QtText.h"
#include "zarnik/Strings.h"

namespace shell {
namespace {

// A flash memory chip: a dark body with pins on two sides and a lit corner mark.
void DrawChip(QPainter& painter, const QRectF& body) {
  const double pinLength = body.width() * 0.12;
  const int pins = 6;
  painter.setPen(Qt::NoPen);
  painter.setBrush(QColor(0xC8, 0xC8, 0xC8));
  for (int i = 0; i < pins; ++i) {
    const double y = body.top() + body.height() * (i + 0.5) / pins - body.height() * 0.04;
    const double h = body.height() * 0.08;
    painter.drawRect(QRectF(body.left() - pinLength, y, pinLength, h));
    painter.drawRect(QRectF(body.right(), y, pinLength, h));
  }
  painter.setBrush(QColor(0x22, 0x26, 0x2E));
  painter.drawRoundedRect(body, body.width() * 0.06, body.width() * 0.06);
  painter.setBrush(QColor(0x3D, 0xC1, 0x6B));
  const double mark = body.width() * 0.14;
  painter.drawEllipse(QRectF(body.left() + mark * 0.6, body.top() + mark * 0.6, mark, mark));
}

}  // namespace

QPixmap SplashPicture() {
  QPixmap picture(400, 200);
  QPainter painter(&picture);
  painter.setRenderHint(QPainter::Antialiasing);
  QLinearGradient sky(0, 0, 0, 200);
  sky.setColorAt(0, QColor(0x1B, 0x3A, 0x6B));
  sky.setColorAt(1, QColor(0x0C, 0x1A, 0x33));
  painter.fillRect(picture.rect(), sky);
  DrawChip(painter, QRectF(40, 50, 90, 100));

  painter.setPen(Qt::white);
  QFont name = painter.font();
  name.setPixelSize(40);
  name.setBold(true);
  painter.setFont(name);
  painter.drawText(QRectF(160, 50, 230, 50), Qt::AlignLeft | Qt::AlignVCenter,
                   ToQString(zarnik::text::kProgramName));
  QFont line = painter.font();
  line.setPixelSize(13);
  line.setBold(false);
  painter.setFont(line);
  painter.drawText(QRectF(160, 105, 230, 45), Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap,
                   ToQString(zarnik::LoadString(zarnik::StringId::kMainTitle)));
  return picture;
}

QIcon ProgramIcon() {
  QPixmap icon(32, 32);
  icon.fill(Qt::transparent);
  QPainter painter(&icon);
  painter.setRenderHint(QPainter::Antialiasing);
  DrawChip(painter, QRectF(7, 4, 18, 24));
  return QIcon(icon);
}

}  // namespace shell
