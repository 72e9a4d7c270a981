#include <QPainter>
#include <QPainterPath>

#include "ui/window_icons.h"

namespace tomeferry::ui {

namespace {

// An open book seen from the front: two pages curving down to the spine, a hard cover
// edge below them and a red ribbon marker. Drawn in a 128-unit square, scaled to `size`.
QPixmap drawBook(int size) {
  QPixmap pixmap(size, size);
  pixmap.fill(Qt::transparent);
  QPainter painter(&pixmap);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.scale(size / 128.0, size / 128.0);

  const QColor cover(0x2f, 0x5d, 0x8a);
  const QColor paper(0xfb, 0xf8, 0xef);
  const QColor ink(0x8a, 0x93, 0x9e);

  QPainterPath coverPath;
  coverPath.moveTo(6, 30);
  coverPath.lineTo(64, 40);
  coverPath.lineTo(122, 30);
  coverPath.lineTo(122, 108);
  coverPath.lineTo(64, 118);
  coverPath.lineTo(6, 108);
  coverPath.closeSubpath();
  painter.setPen(Qt::NoPen);
  painter.setBrush(cover);
  painter.drawPath(coverPath);

  for (int side : {-1, 1}) {
    QPainterPath page;
    page.moveTo(64, 34);
    page.cubicTo(64 + side * 20, 20, 64 + side * 40, 18, 64 + side * 54, 22);
    page.lineTo(64 + side * 54, 100);
    page.cubicTo(64 + side * 40, 96, 64 + side * 20, 98, 64, 112);
    page.closeSubpath();
    painter.setBrush(paper);
    painter.setPen(QPen(cover.darker(120), size >= 32 ? 2.5 : 4));
    painter.drawPath(page);
    if (size >= 32) {  // text lines only where they can be told apart
      painter.setPen(QPen(ink, 3, Qt::SolidLine, Qt::RoundCap));
      for (int line = 0; line < 5; ++line) {
        const double y = 40 + line * 12;
        painter.drawLine(QPointF(64 + side * 14, y + 2), QPointF(64 + side * 44, y - 2));
      }
    }
  }

  painter.setPen(Qt::NoPen);
  painter.setBrush(QColor(0xc8, 0x3a, 0x32));
  QPainterPath ribbon;
  ribbon.moveTo(82, 24);
  ribbon.lineTo(92, 23);
  ribbon.lineTo(92, 62);
  ribbon.lineTo(87, 56);
  ribbon.lineTo(82, 62);
  ribbon.closeSubpath();
  painter.drawPath(ribbon);
  return pixmap;
}

}  // namespace

QIcon programIcon() {
  QIcon icon;
  for (int size : {16, 32, 48, 128}) icon.addPixmap(drawBook(size));
  return icon;
}

}  // namespace tomeferry::ui
