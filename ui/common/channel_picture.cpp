#include "ui/common/channel_picture.h"

#include <QFont>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRandomGenerator>

namespace {

const QColor BarrelColor(150, 155, 165);
const QColor SteelColor(110, 118, 130);
const QColor MeltColor(232, 120, 40);
const QColor FilmColor(245, 170, 60);
const QColor SolidColor(215, 228, 240);
const QColor PelletColor(120, 150, 190);

void DrawLabel(QPainter& painter, const QRectF& box, const QString& text, const QColor& color) {
  painter.setPen(color);
  painter.drawText(box, Qt::AlignCenter, text);
}

}  // namespace

void PaintChannelPicture(QPainter& painter, QSizeF size, bool withLabels) {
  painter.save();
  painter.setRenderHint(QPainter::Antialiasing, true);

  const qreal w = size.width();
  const qreal h = size.height();
  const qreal barrelBottom = h * 0.22;
  const qreal rootTop = h * 0.84;
  const qreal flight = w * 0.07;
  const qreal clearance = h * 0.03;
  const qreal channelLeft = flight;
  const qreal channelRight = w - flight;
  const qreal channelWidth = channelRight - channelLeft;
  const qreal filmBottom = barrelBottom + (rootTop - barrelBottom) * 0.12;
  const qreal poolRight = channelLeft + channelWidth * 0.30;

  painter.fillRect(QRectF(0, 0, w, h), Qt::white);

  // Barrel, hatched as a section: 45-degree lines cut at the picture's sides.
  QRectF barrel(0, 0, w, barrelBottom);
  painter.fillRect(barrel, BarrelColor);
  painter.setPen(QPen(BarrelColor.darker(130), 1));
  for (qreal x = -barrelBottom; x < w; x += 6) {
    const qreal left = qMax<qreal>(x, 0);
    const qreal right = qMin(x + barrelBottom, w);
    painter.drawLine(QPointF(left, barrelBottom - (left - x)), QPointF(right, barrelBottom - (right - x)));
  }

  // Solid bed of compacted pellets.
  // The bed reaches up under the film, which is drawn over it; pellets of the
  // last column and row stick out and are covered by the flight's column and
  // the screw root, drawn after it.
  QRectF bed(poolRight, barrelBottom, channelRight - poolRight, rootTop - barrelBottom);
  painter.fillRect(bed, SolidColor);
  painter.setPen(QPen(PelletColor, 1));
  painter.setBrush(SolidColor.lighter(105));
  const qreal pellet = qMax<qreal>(3.0, h * 0.07);
  QRandomGenerator pellets(1957);  // a fixed seed keeps the picture the same at every start
  for (qreal y = bed.top() + pellet / 2; y < bed.bottom() + pellet; y += pellet * 0.9) {
    for (qreal x = bed.left() + pellet / 2; x < bed.right() + pellet; x += pellet * 1.1) {
      const qreal jitter = pellets.bounded(pellet * 0.3);
      // Pellets wholly right of the bed would be covered or lie outside the picture.
      if (x + jitter - pellet * 0.45 >= bed.right()) continue;
      painter.drawEllipse(QPointF(x + jitter, y), pellet * 0.45, pellet * 0.38);
    }
  }
  painter.fillRect(QRectF(channelRight, barrelBottom, w - channelRight, rootTop - barrelBottom), Qt::white);

  // Screw root with its metallic shading.
  QLinearGradient rootShade(0, rootTop, 0, h);
  rootShade.setColorAt(0, SteelColor.lighter(130));
  rootShade.setColorAt(1, SteelColor.darker(130));
  painter.fillRect(QRectF(0, rootTop, w, h - rootTop), rootShade);

  // Melt pool against the pushing flight, with the circulating flow in it.
  QRectF pool(channelLeft, filmBottom, poolRight - channelLeft, rootTop - filmBottom);
  painter.fillRect(pool, MeltColor);
  if (pool.width() > 12) {
    painter.setPen(QPen(MeltColor.darker(150), 1));
    painter.setBrush(Qt::NoBrush);
    painter.drawEllipse(pool.adjusted(pool.width() * 0.2, pool.height() * 0.2, -pool.width() * 0.2,
                                      -pool.height() * 0.2));
  }

  // Melt film between barrel and bed, thickening toward the pool.
  QPainterPath film;
  film.moveTo(channelLeft, barrelBottom);
  film.lineTo(channelRight, barrelBottom);
  film.lineTo(channelRight, barrelBottom + (filmBottom - barrelBottom) * 0.4);
  film.lineTo(poolRight, filmBottom);
  film.lineTo(channelLeft, filmBottom);
  film.closeSubpath();
  painter.fillPath(film, FilmColor);

  // Flights with their clearance under the barrel.
  for (qreal x : {qreal(0), channelRight}) {
    QRectF flightRect(x, barrelBottom + clearance, flight, rootTop - barrelBottom - clearance);
    QLinearGradient shade(x, 0, x + flight, 0);
    shade.setColorAt(0, SteelColor.lighter(125));
    shade.setColorAt(1, SteelColor.darker(120));
    painter.fillRect(flightRect, shade);
  }
  painter.setPen(QPen(Qt::black, 1));
  painter.drawLine(QPointF(0, barrelBottom), QPointF(w, barrelBottom));

  if (withLabels) {
    QFont font = painter.font();
    font.setPixelSize(qMax(8, int(h * 0.10)));
    painter.setFont(font);
    DrawLabel(painter, barrel, QStringLiteral("Barrel  \u2192 Vb"), Qt::black);
    // The film is too thin to hold its name: label it just below, on the bed.
    const qreal line = font.pixelSize() + 2;
    QRectF filmLabel(poolRight, filmBottom + 1, channelRight - poolRight, line);
    painter.fillRect(filmLabel.adjusted(filmLabel.width() * 0.25, 1, -filmLabel.width() * 0.25, -1), SolidColor);
    DrawLabel(painter, filmLabel, QStringLiteral("\u2191 melt film"), QColor(150, 70, 0));
    DrawLabel(painter, pool, QStringLiteral("melt\npool"), Qt::white);
    QRectF bedLabel(bed.left(), (filmBottom + rootTop) / 2, bed.width(), line);
    painter.fillRect(bedLabel.adjusted(bedLabel.width() * 0.25, 1, -bedLabel.width() * 0.25, -1), SolidColor);
    DrawLabel(painter, bedLabel, QStringLiteral("solid bed"), QColor(20, 40, 90));
    DrawLabel(painter, QRectF(0, rootTop, w, h - rootTop), QStringLiteral("screw root"), Qt::white);
  }
  painter.restore();
}

QPixmap DrawChannelPicture(QSize size, bool withLabels) {
  QPixmap pixmap(size);
  QPainter painter(&pixmap);
  PaintChannelPicture(painter, QSizeF(size), withLabels);
  return pixmap;
}

QIcon ChannelIcon() {
  QIcon icon;
  for (int side : {16, 32, 48, 64}) icon.addPixmap(DrawChannelPicture(QSize(side, side), false));
  return icon;
}
