#include "ui/main_window/profile_picture.h"

#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>
#include <algorithm>

#include "ui/common/run_snapshot.h"
#include "ui/common/screw_zones.h"
#include "ui/common/shown_numbers.h"
#include "ui/common/window_font.h"

namespace {

const QColor WidthRatioColor(0, 70, 200);
const QColor SolidFractionColor(200, 30, 30);
const QColor WarningColor(235, 140, 0);

// A warning triangle with an exclamation mark, its top at `top`.
void DrawWarningMark(QPainter& painter, QPointF top, qreal side) {
  QPainterPath triangle;
  triangle.moveTo(top);
  triangle.lineTo(top + QPointF(side / 2, side * 0.87));
  triangle.lineTo(top + QPointF(-side / 2, side * 0.87));
  triangle.closeSubpath();
  painter.setPen(QPen(WarningColor.darker(140), 1));
  painter.setBrush(WarningColor);
  painter.drawPath(triangle);
  painter.setPen(Qt::black);
  QFont font = WindowFont(qMax(7, int(side * 0.7)));
  font.setBold(true);
  painter.setFont(font);
  painter.drawText(QRectF(top.x() - side / 2, top.y() + side * 0.2, side, side * 0.7), Qt::AlignCenter,
                   QStringLiteral("!"));
}

}  // namespace

QPixmap DrawProfilePicture(const RunSnapshot& run, QSize size) {
  QPixmap pixmap(size);
  pixmap.fill(Qt::white);
  QPainter painter(&pixmap);
  painter.setRenderHint(QPainter::Antialiasing, true);

  const ModelState& state = run.State;
  const std::array<ScrewZone, 3> zones = ScrewZones(state.Inputs);
  const FractionBounds range = FractionRange(state);
  const double screwEnd = zones[2].End > 0 ? zones[2].End : 1.0;

  const QFont smallFont = WindowFont(9);
  const QRectF plot(20, 19, size.width() - 26, size.height() - 32);
  auto toPoint = [&](double turns, double value) {
    return QPointF(plot.left() + plot.width() * turns / screwEnd,
                   plot.bottom() - plot.height() * (value - range.Low) / (range.High - range.Low));
  };

  // Zones as bands, named at their foot where they are wide enough.
  painter.setFont(smallFont);
  const char* shortNames[] = {"feed", "compr.", "metering"};
  for (size_t z = 0; z < zones.size(); ++z) {
    const QRectF band(toPoint(zones[z].Start, range.High), toPoint(zones[z].End, range.Low));
    painter.fillRect(band, zones[z].Tint);
    painter.setPen(zones[z].Tint.darker(170));
    if (band.width() > painter.fontMetrics().horizontalAdvance(QString::fromLatin1(shortNames[z])))
      painter.drawText(band.adjusted(0, 0, 0, -1), Qt::AlignHCenter | Qt::AlignBottom, QString::fromLatin1(shortNames[z]));
  }
  painter.setPen(QPen(Qt::gray, 1));
  painter.setBrush(Qt::NoBrush);
  painter.drawRect(plot);

  // Axis marks: 0, 1 and the top on the left; below, the turns at both ends
  // and between them what is drawn against them, in the curves' colours.
  painter.setPen(Qt::black);
  auto markLeft = [&](double value, const QString& text) {
    painter.drawText(QRectF(0, toPoint(0, value).y() - 6, plot.left() - 3, 12), Qt::AlignRight | Qt::AlignVCenter, text);
  };
  markLeft(0, QStringLiteral("0"));
  markLeft(1, QStringLiteral("1"));
  if (toPoint(0, 1).y() - plot.top() > 10) markLeft(range.High, ShownSignificant(range.High, 2));
  const QRectF below(plot.left(), plot.bottom() + 1, plot.width(), size.height() - plot.bottom() - 1);
  painter.drawText(below, Qt::AlignLeft | Qt::AlignTop, QStringLiteral("0"));
  painter.drawText(below, Qt::AlignRight | Qt::AlignTop, ShownSignificant(screwEnd, 4));
  const QString legend[][2] = {{QStringLiteral("X/W"), QStringLiteral(" ")},
                               {QStringLiteral("QS/QT"), QStringLiteral(" against turns")}};
  const QColor legendColors[] = {WidthRatioColor, SolidFractionColor};
  const QFontMetrics metrics = painter.fontMetrics();
  qreal legendWidth = 0;
  for (const auto& part : legend) legendWidth += metrics.horizontalAdvance(part[0] + part[1]);
  qreal x = below.center().x() - legendWidth / 2;
  for (int i = 0; i < 2; ++i) {
    painter.setPen(legendColors[i]);
    painter.drawText(QPointF(x, below.top() + metrics.ascent()), legend[i][0]);
    x += metrics.horizontalAdvance(legend[i][0]);
    painter.setPen(Qt::black);
    painter.drawText(QPointF(x, below.top() + metrics.ascent()), legend[i][1]);
    x += metrics.horizontalAdvance(legend[i][1]);
  }

  // The curves.
  const int rows = std::clamp<int>(state.Profile.RowCount, 0, MaxGridPoints);
  QPolygonF widthRatio;
  QPolygonF solidFraction;
  for (int i = 0; i < rows; ++i) {
    widthRatio << toPoint(state.Grid.Flight[i], state.Profile.WidthRatio[i]);
    solidFraction << toPoint(state.Grid.Flight[i], state.Profile.SolidFraction[i]);
  }
  // QS/QT runs on to the end of melting, one point past the report's rows.
  if (run.Summary.Melted) solidFraction << toPoint(run.Summary.EndTurns, run.Summary.EndSolidFraction);
  painter.save();
  painter.setClipRect(plot);
  painter.setPen(QPen(WidthRatioColor, 1.5));
  painter.drawPolyline(widthRatio);
  painter.setPen(QPen(SolidFractionColor, 1.5));
  painter.drawPolyline(solidFraction);
  if (run.Summary.EndPoint >= 0) {
    painter.setPen(QPen(Qt::black, 1, Qt::DashLine));
    const double x = toPoint(run.Summary.EndTurns, 0).x();
    painter.drawLine(QPointF(x, plot.top()), QPointF(x, plot.bottom()));
  }
  painter.restore();

  // The verdict above the plot, the warning mark at its right.
  QFont verdictFont = WindowFont(11);
  verdictFont.setBold(true);
  painter.setFont(verdictFont);
  painter.setPen(run.Summary.Melted ? QColor(Qt::black) : SolidFractionColor.darker(120));
  const QRectF verdictBox(2, 1, size.width() - 22, 15);
  painter.drawText(verdictBox, Qt::AlignLeft | Qt::AlignVCenter,
                   ShownText(SummaryVerdict(run.Summary)));
  if (WarningCount(run) > 0) DrawWarningMark(painter, QPointF(size.width() - 10, 1), 14);

  // The figures of a run whose report was not written are still shown, but
  // never without saying so.
  if (!run.ReportWritten) {
    QFont noticeFont = WindowFont(10);
    noticeFont.setBold(true);
    painter.setFont(noticeFont);
    const QString notice = QStringLiteral("report not written");
    const qreal width = painter.fontMetrics().horizontalAdvance(notice) + 10;
    // Upper right of the plot, where both curves have fallen away once melting ends.
    const QRectF box(plot.right() - width - 4, plot.top() + 4, width, 16);
    painter.setPen(QPen(QColor(170, 0, 0), 1));
    painter.setBrush(QColor(255, 255, 255, 220));
    painter.drawRect(box);
    painter.drawText(box, Qt::AlignCenter, notice);
  }
  return pixmap;
}
