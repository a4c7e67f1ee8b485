#pragma once
// A chart as it is saved: the chart view over a caption line, so a picture
// that leaves the program still says which run it shows and when.

#include <QImage>
#include <QString>

class QChartView;
class QPainter;

// Height of the caption strip under the chart, pixels.
inline constexpr int ChartCaptionHeight = 36;  // two lines of caption

// The chart and its caption into `painter`, which covers the view's size
// plus the caption strip below it.
void PaintCaptionedChart(QPainter& painter, QChartView* view, const QString& caption);

QImage CaptionedChartImage(QChartView* view, const QString& caption);
