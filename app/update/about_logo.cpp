#include "app/update/about_logo.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

namespace qm {

// The same picture as the launcher icon (app/desktop/quillmere.svg), on a
// 100 x 100 grid: a blue tile with a white quill over a written line.
QPixmap aboutLogo(int width, int height) {
  QPixmap pixmap(width, height);
  pixmap.fill(Qt::transparent);
  QPainter p(&pixmap);
  p.setRenderHint(QPainter::Antialiasing);
  p.scale(width / 100.0, height / 100.0);

  QLinearGradient tile(0, 0, 0, 100);
  tile.setColorAt(0, QColor(0x2f, 0x6f, 0xb8));
  tile.setColorAt(1, QColor(0x1d, 0x4a, 0x80));
  p.setPen(Qt::NoPen);
  p.setBrush(tile);
  p.drawRoundedRect(QRectF(4, 4, 92, 92), 16, 16);

  QPainterPath quill;
  quill.moveTo(74, 14);
  quill.cubicTo(50, 20, 34, 44, 30, 72);
  quill.lineTo(36, 70);
  quill.cubicTo(46, 54, 62, 40, 74, 14);
  p.setBrush(Qt::white);
  p.drawPath(quill);
  p.setPen(QPen(Qt::white, 3, Qt::SolidLine, Qt::RoundCap));
  p.drawLine(QPointF(30, 72), QPointF(26, 82));
  p.drawLine(QPointF(40, 82), QPointF(76, 82));
  return pixmap;
}

}  // namespace qm
