#include "ui/results_window/pressure_chart.h"

#include <QAreaSeries>
#include <QChart>
#include <QLegend>
#include <QLegendMarker>
#include <QLineSeries>
#include <QPen>
#include <QValueAxis>
#include <algorithm>
#include <cmath>

#include "ui/common/screw_zones.h"
#include "ui/common/shown_numbers.h"

namespace {

const std::array<QString, 2> BoundNames = {QStringLiteral("adiabatic bound"), QStringLiteral("barrel bound")};
const std::array<QColor, 2> BoundColors = {QColor(200, 60, 20), QColor(20, 90, 190)};

struct Span {
  double Low = 0;
  double High = 0;
  void Take(double value) {
    Low = std::min(Low, value);
    High = std::max(High, value);
  }
};

// Round ends a little beyond the values, so that no curve runs along the frame.
Span Padded(Span span) {
  const double margin = std::max(0.05 * (span.High - span.Low), 0.5);
  return {span.Low - margin, span.High + margin};
}

QValueAxis* Axis(const QString& title, const Span& span) {
  auto* axis = new QValueAxis;
  axis->setTitleText(title);
  axis->setRange(span.Low, span.High);
  axis->setTickCount(9);
  axis->applyNiceNumbers();
  // A localized chart reads only a format with its precision given.
  axis->setLabelFormat(QStringLiteral("%.6g"));
  return axis;
}

QLineSeries* Line(const std::vector<double>& x, const std::vector<double>& y) {
  auto* series = new QLineSeries;
  for (std::size_t i = 0; i < x.size() && i < y.size(); ++i) series->append(x[i], y[i]);
  return series;
}

void Attach(QChart* chart, QAbstractSeries* series, QAbstractAxis* x, QAbstractAxis* y) {
  chart->addSeries(series);
  series->attachAxis(x);
  series->attachAxis(y);
}

void HideFromLegend(QChart* chart, QAbstractSeries* series) {
  for (QLegendMarker* marker : chart->legend()->markers(series)) marker->setVisible(false);
}

}  // namespace

const char* const PressureChartKey =
    "<small>Solid lines: pressure (left axis); dashed: melt temperature (right axis); dotted at the tip: "
    "what the die needs. <span style='color:#c83c14'>Red: adiabatic bound</span>, "
    "<span style='color:#145abe'>blue: barrel bound</span>; the grey band between them is the range to read. "
    "Shades: feed, compression and metering zone. The adiabatic melt temperature stays at the melting point "
    "through the melting zone and steps up where melting ends: the melting zone's shear heat, less what melting "
    "takes, is counted where the melt leaves the bed.</small>";

QChart* PressureChart(const ModelInputs& inputs, const PressureCurves& curves) {
  auto* chart = new QChart;
  chart->setTitle(QStringLiteral("Pressure and melt temperature, from where melting starts to the tip"));
  chart->legend()->setAlignment(Qt::AlignBottom);
  // Each entry drawn in its line's style: solid pressure, dashed temperature.
  chart->legend()->setMarkerShape(QLegend::MarkerShapeFromSeries);
  chart->setAnimationOptions(QChart::NoAnimation);
  LocalizeChartNumbers(chart);

  Span pressure, temperature{1e300, -1e300};
  for (int b = 0; b < 2; ++b) {
    for (double p : curves.Pressure[b]) pressure.Take(p);
    for (double t : curves.Temperature[b]) temperature.Take(t);
    if (curves.DiePressure) pressure.Take((*curves.DiePressure)[b]);
  }
  if (temperature.Low > temperature.High) temperature = {0, 1};
  pressure = Padded(pressure);
  temperature = Padded(temperature);

  const std::array<ScrewZone, 3> zones = ScrewZones(inputs);
  QValueAxis* x = Axis(QStringLiteral("Position along the screw (turns)"), {0.0, zones[2].End});
  x->setRange(0.0, zones[2].End);
  // Marks on whole turns from 0, as the melting chart has them.
  x->setTickType(QValueAxis::TicksDynamic);
  x->setTickAnchor(0.0);
  x->setTickInterval(std::max(1.0, 5.0 * std::round(zones[2].End / 40.0)));
  QValueAxis* y = Axis(QStringLiteral("Pressure (MPa)"), pressure);
  QValueAxis* t = Axis(QStringLiteral("Melt temperature (\u00B0C)"), temperature);
  t->setGridLineVisible(false);
  chart->addAxis(x, Qt::AlignBottom);
  chart->addAxis(y, Qt::AlignLeft);
  chart->addAxis(t, Qt::AlignRight);

  for (const ScrewZone& zone : zones) {
    auto* upper = new QLineSeries(chart);
    upper->append(zone.Start, y->max());
    upper->append(zone.End, y->max());
    auto* lower = new QLineSeries(chart);
    lower->append(zone.Start, y->min());
    lower->append(zone.End, y->min());
    auto* band = new QAreaSeries(upper, lower);
    band->setColor(zone.Tint);
    band->setBorderColor(zone.Tint);
    Attach(chart, band, x, y);
    HideFromLegend(chart, band);
  }

  // The two bounds enclose the likely pressure: the band between them is the
  // range to read, the lines its edges.
  auto* range = new QAreaSeries(Line(curves.Turns, curves.Pressure[0]), Line(curves.Turns, curves.Pressure[1]));
  range->upperSeries()->setParent(range);
  range->lowerSeries()->setParent(range);
  range->setName(QStringLiteral("pressure range"));
  range->setColor(QColor(120, 120, 120, 70));
  range->setBorderColor(Qt::transparent);
  Attach(chart, range, x, y);
  HideFromLegend(chart, range);

  for (int b = 0; b < 2; ++b) {
    QLineSeries* p = Line(curves.Turns, curves.Pressure[b]);
    p->setName(QStringLiteral("pressure, ") + BoundNames[b]);
    p->setPen(QPen(BoundColors[b], 2));
    Attach(chart, p, x, y);
    HideFromLegend(chart, p);
  }
  for (int b = 0; b < 2; ++b) {
    QLineSeries* temp = Line(curves.Turns, curves.Temperature[b]);
    temp->setName(QStringLiteral("melt temperature, ") + BoundNames[b]);
    temp->setPen(QPen(BoundColors[b], 1.5, Qt::DashLine));
    Attach(chart, temp, x, t);
    HideFromLegend(chart, temp);
  }
  // The legend says what a line's style and its colour mean, one entry
  // each: four curves' names would not fit beside each other.
  const QColor neutral(60, 60, 60);
  const struct {
    QString Name;
    QPen Pen;
  } keys[] = {{QStringLiteral("pressure"), QPen(neutral, 2)},
              {QStringLiteral("melt temperature"), QPen(neutral, 1.5, Qt::DashLine)},
              {QStringLiteral("adiabatic"), QPen(BoundColors[0], 2)},
              {QStringLiteral("barrel"), QPen(BoundColors[1], 2)}};
  for (const auto& key : keys) {
    auto* entry = new QLineSeries;
    entry->setName(key.Name);
    entry->setPen(key.Pen);
    Attach(chart, entry, x, y);
  }

  const double tip = curves.Turns.empty() ? zones[2].End : curves.Turns.back();
  if (curves.DiePressure) {
    // The die's need stands at the tip: where the screw's pressure must reach it.
    const double start = tip - 0.06 * zones[2].End;
    for (int b = 0; b < 2; ++b) {
      auto* die = new QLineSeries;
      die->setName(QStringLiteral("die needs, ") + BoundNames[b]);
      die->setPen(QPen(BoundColors[b], 3, Qt::DotLine));
      die->append(start, (*curves.DiePressure)[b]);
      die->append(tip, (*curves.DiePressure)[b]);
      Attach(chart, die, x, y);
      HideFromLegend(chart, die);
    }
  }
  auto* zero = new QLineSeries;
  zero->setPen(QPen(QColor(60, 60, 60), 1));
  zero->append(0.0, 0.0);
  zero->append(zones[2].End, 0.0);
  Attach(chart, zero, x, y);
  HideFromLegend(chart, zero);
  if (curves.MeltEndTurn) {
    auto* end = new QLineSeries;
    end->setName(QStringLiteral("end of melting"));
    end->setPen(QPen(Qt::black, 1.2, Qt::DashLine));
    end->append(*curves.MeltEndTurn, y->min());
    end->append(*curves.MeltEndTurn, y->max());
    Attach(chart, end, x, y);
  }
  return chart;
}
