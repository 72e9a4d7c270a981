#include <QPainter>

#include "ui/window_icons.h"

namespace tomeferry::ui {

QPixmap searchIcon() {
  QPixmap pixmap(20, 20);
  pixmap.fill(Qt::transparent);
  QPainter painter(&pixmap);
  painter.setRenderHint(QPainter::Antialiasing);

  painter.setPen(Qt::NoPen);
  painter.setBrush(QColor(0xdd, 0xdf, 0xe2));
  painter.drawEllipse(QRectF(0.5, 0.5, 19, 19));

  const QColor glass(0x4a, 0x55, 0x60);
  painter.setPen(QPen(glass, 3, Qt::SolidLine, Qt::RoundCap));
  painter.drawLine(QPointF(11.8, 11.8), QPointF(15.2, 15.2));
  painter.setPen(QPen(glass, 1.8));
  painter.setBrush(QColor(0xf4, 0xf8, 0xfc));
  painter.drawEllipse(QPointF(8.6, 8.6), 4.4, 4.4);
  return pixmap;
}

}  // namespace tomeferry::ui
