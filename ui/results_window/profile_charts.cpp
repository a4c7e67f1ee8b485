#include "ui/results_window/profile_charts.h"

#include <QAreaSeries>
#include <QChart>
#include <QLegendMarker>
#include <QLineSeries>
#include <QScatterSeries>
#include <QValueAxis>
#include <algorithm>
#include <cmath>

#include "ui/common/run_snapshot.h"
#include "ui/common/screw_zones.h"
#include "ui/common/shown_numbers.h"

namespace {

const QString TurnsTitle = QStringLiteral("Position along the screw (turns)");

int RowsOf(const ModelState& state) { return std::clamp<int>(state.Profile.RowCount, 0, MaxGridPoints); }

// 1, 2 or 5 times a power of ten, giving about `marks` steps over `span`.
double TickStep(double span, int marks) {
  const double raw = span > 0 ? span / marks : 1.0;
  const double power = std::pow(10.0, std::floor(std::log10(raw)));
  for (double factor : {1.0, 2.0, 5.0})
    if (raw <= factor * power) return factor * power;
  return 10.0 * power;
}

QValueAxis* Axis(const QString& title, double low, double high) {
  auto* axis = new QValueAxis;
  axis->setTitleText(title);
  axis->setRange(low, high);
  // Marks on round numbers from 0, not on fractions of the range.
  axis->setTickType(QValueAxis::TicksDynamic);
  axis->setTickAnchor(0.0);
  axis->setTickInterval(TickStep(high - low, 8));
  // A localized chart reads only a format with its precision given.
  axis->setLabelFormat(QStringLiteral("%.6g"));
  return axis;
}

QChart* NewChart(const QString& title) {
  auto* chart = new QChart;
  chart->setTitle(title);
  chart->legend()->setAlignment(Qt::AlignBottom);
  chart->setAnimationOptions(QChart::NoAnimation);
  LocalizeChartNumbers(chart);
  return chart;
}

void Attach(QChart* chart, QAbstractSeries* series, QAbstractAxis* x, QAbstractAxis* y) {
  chart->addSeries(series);
  series->attachAxis(x);
  series->attachAxis(y);
}

// One profile array against the turns, over the report's rows.
QLineSeries* Curve(const ModelState& state, const GridArray& values, const QString& name, const QColor& color) {
  auto* series = new QLineSeries;
  series->setName(name);
  series->setPen(QPen(color, 2));
  const int rows = RowsOf(state);
  for (int i = 0; i < rows; ++i) series->append(state.Grid.Flight[i], values[i]);
  return series;
}

// The feed, compression and metering zones as tinted bands from `low` to `high` of `y`.
void AddZoneBands(QChart* chart, const std::array<ScrewZone, 3>& zones, QAbstractAxis* x, QAbstractAxis* y,
                  double low, double high, bool named) {
  for (const ScrewZone& zone : zones) {
    auto* upper = new QLineSeries(chart);
    upper->append(zone.Start, high);
    upper->append(zone.End, high);
    auto* lower = new QLineSeries(chart);
    lower->append(zone.Start, low);
    lower->append(zone.End, low);
    auto* band = new QAreaSeries(upper, lower);
    band->setName(zone.Name.section(QLatin1Char(' '), 0, 0));
    band->setColor(zone.Tint);
    band->setBorderColor(zone.Tint);
    Attach(chart, band, x, y);
    if (!named) chart->legend()->markers(band).front()->setVisible(false);
  }
}

// A dashed line across the plot where melting ends (or at the screw end).
void AddEndLine(QChart* chart, const RunSummary& summary, QAbstractAxis* x, QAbstractAxis* y, double low, double high) {
  auto* end = new QLineSeries;
  end->setName(summary.Melted ? QStringLiteral("end of melting") : QStringLiteral("screw end, solid left"));
  end->setPen(QPen(Qt::black, 1.5, Qt::DashLine));
  end->append(summary.EndTurns, low);
  end->append(summary.EndTurns, high);
  Attach(chart, end, x, y);
}

}  // namespace

QChart* MeltingChart(const RunSnapshot& run) {
  const ModelState& state = run.State;
  const RunSummary& summary = run.Summary;
  QChart* chart = NewChart(QStringLiteral("Solid bed along the screw: ") + ShownText(SummaryVerdict(summary)));
  const std::array<ScrewZone, 3> zones = ScrewZones(state.Inputs);
  const FractionBounds range = FractionRange(state);
  const double high = range.High * 1.05;

  QValueAxis* x = Axis(TurnsTitle, 0.0, zones[2].End);
  QValueAxis* y = Axis(QStringLiteral("X/W, QS/QT (-)"), range.Low, high);
  chart->addAxis(x, Qt::AlignBottom);
  chart->addAxis(y, Qt::AlignLeft);

  AddZoneBands(chart, zones, x, y, range.Low, high, true);

  Attach(chart, Curve(state, state.Profile.WidthRatio, QStringLiteral("X/W"), QColor(0, 70, 200)), x, y);
  QLineSeries* solidFraction = Curve(state, state.Profile.SolidFraction, QStringLiteral("QS/QT"), QColor(200, 30, 30));
  // QS/QT runs on to the end of melting, one point past the report's rows.
  if (summary.Melted) solidFraction->append(summary.EndTurns, summary.EndSolidFraction);
  Attach(chart, solidFraction, x, y);

  if (summary.EndPoint >= 0) {
    AddEndLine(chart, summary, x, y, range.Low, high);
    auto* point = new QScatterSeries;
    point->setMarkerSize(9);
    point->setColor(Qt::black);
    point->append(summary.EndTurns, summary.EndSolidFraction);
    Attach(chart, point, x, y);
    chart->legend()->markers(point).front()->setVisible(false);
  }
  return chart;
}

QChart* ConditionsChart(const RunSnapshot& run) {
  const ModelState& state = run.State;
  QChart* chart = NewChart(QStringLiteral("Melt film, channel depth and barrel temperature; zones shaded as on the first tab"));
  const int rows = RowsOf(state);

  // The film is a hundredth of the channel deep: each curve gets its own
  // axis, drawn in the curve's colour.
  double thickest = 0;
  double deepest = 0;
  double coolest = 0;
  double hottest = 0;
  for (int i = 0; i < rows; ++i) {
    thickest = std::max(thickest, state.Profile.FilmThickness[i]);
    deepest = std::max(deepest, state.Grid.Depth[i]);
    coolest = i == 0 ? state.Grid.BarrelTemp[i] : std::min(coolest, state.Grid.BarrelTemp[i]);
    hottest = i == 0 ? state.Grid.BarrelTemp[i] : std::max(hottest, state.Grid.BarrelTemp[i]);
  }
  // A flat barrel law still gets a band to draw in.
  const double margin = std::max(1.0, (hottest - coolest) * 0.1);

  QValueAxis* x = Axis(TurnsTitle, 0.0, ScrewZones(state.Inputs)[2].End);
  chart->addAxis(x, Qt::AlignBottom);
  const struct {
    const GridArray& Values;
    QString Name;
    QString Title;
    QColor Color;
    double Low;
    double High;
    Qt::Alignment Side;
  } curves[] = {
      {state.Profile.FilmThickness, QStringLiteral("melt film"), QStringLiteral("Melt film thickness (cm)"),
       QColor(220, 110, 0), 0.0, thickest > 0 ? thickest * 1.1 : 1.0, Qt::AlignLeft},
      {state.Grid.Depth, QStringLiteral("channel depth"), QStringLiteral("Channel depth (cm)"), QColor(90, 90, 90), 0.0,
       deepest > 0 ? deepest * 1.1 : 1.0, Qt::AlignRight},
      {state.Grid.BarrelTemp, QStringLiteral("barrel temperature"), QStringLiteral("Barrel temperature (\u00B0C)"),
       QColor(180, 0, 120), coolest - margin, hottest + margin, Qt::AlignRight},
  };
  bool first = true;
  for (const auto& curve : curves) {
    QValueAxis* y = Axis(curve.Title, curve.Low, curve.High);
    y->setLabelsColor(curve.Color);
    y->setTitleBrush(curve.Color);
    y->setLinePenColor(curve.Color);
    y->setGridLineVisible(curve.Side == Qt::AlignLeft);
    chart->addAxis(y, curve.Side);
    // The zones and the end of melting behind the curves, on the first axis.
    if (first) {
      // Named on the first tab: three curves and their axes fill this legend.
      AddZoneBands(chart, ScrewZones(state.Inputs), x, y, curve.Low, curve.High, false);
      if (run.Summary.EndPoint >= 0) AddEndLine(chart, run.Summary, x, y, curve.Low, curve.High);
      first = false;
    }
    Attach(chart, Curve(state, curve.Values, curve.Name, curve.Color), x, y);
  }
  return chart;
}
