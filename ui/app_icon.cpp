#include "ui/app_icon.h"

#include <QColor>
#include <QIcon>
#include <QIconEngine>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <map>

namespace ui {
namespace {

// Renders the drawing only when the platform asks for a size: the offscreen platform never
// does, and start-up does not pay for pictures nobody shows.
class DrawnIconEngine final : public QIconEngine {
 public:
  QPixmap pixmap(const QSize& size, QIcon::Mode, QIcon::State) override {
    const int side = qMax(1, qMin(size.width(), size.height()));
    auto it = cache_.find(side);
    if (it == cache_.end()) it = cache_.emplace(side, QPixmap::fromImage(drawAppIcon(side))).first;
    return it->second;
  }
  void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State state) override {
    painter->drawPixmap(rect, pixmap(rect.size(), mode, state));
  }
  QList<QSize> availableSizes(QIcon::Mode, QIcon::State) override {
    return {QSize(16, 16), QSize(32, 32), QSize(48, 48)};
  }
  QIconEngine* clone() const override { return new DrawnIconEngine(*this); }
  QString key() const override { return QStringLiteral("hydrant-calc-drawn"); }

 private:
  std::map<int, QPixmap> cache_;
};

}  // namespace

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

QIcon appIcon() { return QIcon(new DrawnIconEngine); }

}  // namespace ui
