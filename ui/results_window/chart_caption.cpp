#include "ui/results_window/chart_caption.h"

#include <QChartView>
#include <QPainter>

void PaintCaptionedChart(QPainter& painter, QChartView* view, const QString& caption) {
  const QRect chartArea(QPoint(0, 0), view->size());
  view->render(&painter, chartArea);
  const QRect strip(0, chartArea.bottom() + 1, chartArea.width(), ChartCaptionHeight);
  painter.fillRect(strip, Qt::white);
  QFont font = view->font();
  font.setPixelSize(11);
  painter.setFont(font);
  painter.setPen(Qt::black);
  painter.drawText(strip.adjusted(8, 2, -8, -2), Qt::AlignLeft | Qt::AlignVCenter | Qt::TextWordWrap, caption);
}

QImage CaptionedChartImage(QChartView* view, const QString& caption) {
  QImage image(view->width(), view->height() + ChartCaptionHeight, QImage::Format_ARGB32);
  image.fill(Qt::white);
  QPainter painter(&image);
  painter.setRenderHint(QPainter::Antialiasing);
  PaintCaptionedChart(painter, view, caption);
  return image;
}
