#include "ui/qt/artwork.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QRadialGradient>

namespace albumora {
namespace {

// A sky from deep blue at the top to a warm haze at the horizon.
void PaintSky(QPainter& painter, const QRectF& area) {
  QLinearGradient sky(area.topLeft(), area.bottomLeft());
  sky.setColorAt(0.0, QColor(38, 86, 160));
  sky.setColorAt(0.7, QColor(132, 182, 226));
  sky.setColorAt(1.0, QColor(246, 214, 160));
  painter.fillRect(area, sky);
}

void PaintSun(QPainter& painter, QPointF centre, qreal radius) {
  QRadialGradient glow(centre, radius * 2.2);
  glow.setColorAt(0.0, QColor(255, 250, 210, 230));
  glow.setColorAt(0.45, QColor(255, 220, 120, 120));
  glow.setColorAt(1.0, QColor(255, 220, 120, 0));
  painter.setPen(Qt::NoPen);
  painter.setBrush(glow);
  painter.drawEllipse(centre, radius * 2.2, radius * 2.2);
  painter.setBrush(QColor(255, 244, 190));
  painter.drawEllipse(centre, radius, radius);
}

// A ridge through the given points (fractions of the area), filled down to the bottom.
void PaintRidge(QPainter& painter, const QRectF& area, std::initializer_list<QPointF> points,
                const QColor& top, const QColor& bottom) {
  QPainterPath path(QPointF(area.left(), area.bottom()));
  for (const QPointF& p : points) {
    path.lineTo(area.left() + p.x() * area.width(), area.top() + p.y() * area.height());
  }
  path.lineTo(area.right(), area.bottom());
  path.closeSubpath();
  QLinearGradient fill(area.topLeft(), area.bottomLeft());
  fill.setColorAt(0.3, top);
  fill.setColorAt(1.0, bottom);
  painter.setPen(Qt::NoPen);
  painter.setBrush(fill);
  painter.drawPath(path);
}

void PaintLandscape(QPainter& painter, const QRectF& area, QPointF sun, qreal sun_radius) {
  PaintSky(painter, area);
  PaintSun(painter, sun, sun_radius);
  PaintRidge(painter, area,
             {{0.0, 0.62},
              {0.18, 0.38},
              {0.33, 0.55},
              {0.52, 0.30},
              {0.70, 0.52},
              {0.86, 0.42},
              {1.0, 0.58}},
             QColor(92, 112, 150), QColor(120, 136, 168));
  PaintRidge(painter, area, {{0.0, 0.80}, {0.25, 0.66}, {0.45, 0.76}, {0.68, 0.62}, {1.0, 0.78}},
             QColor(70, 130, 72), QColor(38, 88, 46));
}

}  // namespace

QImage ProgramIconImage() {
  QImage image(kIconSize, kIconSize, QImage::Format_RGB32);
  image.fill(QColor(236, 233, 216));
  QPainter painter(&image);
  painter.setRenderHint(QPainter::Antialiasing);
  // A white print with a thin shadow, the landscape inside it.
  painter.fillRect(QRectF(4, 6, 26, 22), QColor(150, 146, 130));
  painter.fillRect(QRectF(2, 4, 26, 22), Qt::white);
  const QRectF photo(4, 6, 22, 18);
  painter.setClipRect(photo);
  PaintLandscape(painter, photo, QPointF(20, 11), 2.5);
  painter.setClipping(false);
  painter.setPen(QColor(90, 90, 90));
  painter.setBrush(Qt::NoBrush);
  painter.drawRect(QRectF(2.5, 4.5, 25, 21));
  return image;
}

QIcon ProgramIcon() { return QIcon(QPixmap::fromImage(ProgramIconImage())); }

QImage BannerImage() {
  QImage image(kBannerWidth, kBannerHeight, QImage::Format_RGB32);
  QPainter painter(&image);
  painter.setRenderHint(QPainter::Antialiasing);
  PaintLandscape(painter, QRectF(0, 0, kBannerWidth, kBannerHeight), QPointF(232, 24), 9);
  // A strip of three prints on the left, as the program turns photos into pages.
  const QColor shadow(0, 0, 0, 70);
  for (int i = 0; i < 3; ++i) {
    const QRectF print(14 + i * 40, 14 + (i % 2) * 6, 34, 44);
    painter.save();
    painter.translate(print.center());
    painter.rotate(-8 + i * 8);
    painter.translate(-print.center());
    painter.fillRect(print.translated(2, 2), shadow);
    painter.fillRect(print, Qt::white);
    const QRectF inner = print.adjusted(3, 3, -3, -10);
    painter.setClipRect(inner);
    PaintLandscape(painter, inner, inner.topLeft() + QPointF(8 + i * 8, 8), 3);
    painter.restore();
  }
  return image;
}

}  // namespace albumora
