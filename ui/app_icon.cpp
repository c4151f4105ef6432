#include "ui/app_icon.h"

#include <QColor>
#include <QIcon>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace ui {

QImage drawAppIcon(int size) {
  QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::transparent);
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing);
  // Drawn on a 48-unit grid so that the shapes stay bold enough at 16 px.
  p.scale(size / 48.0, size / 48.0);

  // Cabinet.
  p.setPen(QPen(QColor(0x7f, 0x00, 0x00), 2.5));
  p.setBrush(QColor(0xd3, 0x20, 0x1f));
  p.drawRoundedRect(QRectF(3, 3, 42, 42), 7, 7);

  // Hose reel: a thick white ring with its hub.
  p.setBrush(Qt::NoBrush);
  p.setPen(QPen(Qt::white, 5.5));
  p.drawEllipse(QPointF(19, 27), 10.5, 10.5);
  p.setPen(Qt::NoPen);
  p.setBrush(Qt::white);
  p.drawEllipse(QPointF(19, 27), 3.5, 3.5);

  // Water drop at the top right.
  QPainterPath drop;
  drop.moveTo(37, 6);
  drop.cubicTo(41, 12, 44, 15, 44, 19);
  drop.arcTo(QRectF(30, 12, 14, 14), 0, -180);
  drop.cubicTo(30, 15, 33, 12, 37, 6);
  p.setPen(QPen(Qt::white, 1.5));
  p.setBrush(QColor(0x1e, 0x88, 0xe5));
  p.drawPath(drop);
  p.end();
  return image;
}

QIcon appIcon() {
  QIcon icon;
  for (int size : {16, 32, 48, 256}) icon.addPixmap(QPixmap::fromImage(drawAppIcon(size)));
  return icon;
}

}  // namespace ui
