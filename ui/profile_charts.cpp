#include "ui/profile_charts.h"

#include <QAreaSeries>
#include <QChart>
#include <QLegendMarker>
#include <QLineSeries>
#include <QScatterSeries>
#include <QValueAxis>
#include <algorithm>

#include "results/number_text.h"
#include "ui/run_snapshot.h"
#include "ui/screw_zones.h"

namespace {

const QString TurnsTitle = QStringLiteral("Position along the screw (turns from the hopper end)");

int RowsOf(const ModelState& state) { return std::clamp<int>(state.Profile.RowCount, 0, MaxGridPoints); }

QValueAxis* Axis(const QString& title, double low, double high) {
  auto* axis = new QValueAxis;
  axis->setTitleText(title);
  axis->setRange(low, high);
  return axis;
}

QChart* NewChart(const QString& title) {
  auto* chart = new QChart;
  chart->setTitle(title);
  chart->legend()->setAlignment(Qt::AlignBottom);
  chart->setAnimationOptions(QChart::NoAnimation);
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

}  // namespace

QChart* MeltingChart(const RunSnapshot& run) {
  const ModelState& state = run.State;
  const RunSummary& summary = run.Summary;
  QChart* chart = NewChart(QStringLiteral("Solid bed along the screw: ") + QString::fromStdString(SummaryVerdict(summary)));
  const std::array<ScrewZone, 3> zones = ScrewZones(state.Inputs);
  const ValueRange range = FractionRange(state);
  const double high = range.High * 1.05;

  QValueAxis* x = Axis(TurnsTitle, 0.0, zones[2].End);
  QValueAxis* y = Axis(QStringLiteral("X/W, QS/QT (-)"), range.Low, high);
  chart->addAxis(x, Qt::AlignBottom);
  chart->addAxis(y, Qt::AlignLeft);

  for (const ScrewZone& zone : zones) {
    auto* upper = new QLineSeries(chart);
    upper->append(zone.Start, high);
    upper->append(zone.End, high);
    auto* lower = new QLineSeries(chart);
    lower->append(zone.Start, range.Low);
    lower->append(zone.End, range.Low);
    auto* band = new QAreaSeries(upper, lower);
    band->setName(zone.Name);
    band->setColor(zone.Tint);
    band->setBorderColor(zone.Tint);
    Attach(chart, band, x, y);
  }

  Attach(chart, Curve(state, state.Profile.WidthRatio, QStringLiteral("X/W, solid bed width ratio"), QColor(0, 70, 200)), x, y);
  Attach(chart, Curve(state, state.Profile.SolidFraction, QStringLiteral("QS/QT, solid fraction"), QColor(200, 30, 30)), x, y);

  if (summary.EndPoint >= 0) {
    auto* end = new QLineSeries;
    end->setName(summary.Melted ? QStringLiteral("end of melting, turn ") + QString::fromStdString(FixedText(summary.EndTurns, 1))
                                : QStringLiteral("screw end, solid left"));
    end->setPen(QPen(Qt::black, 1.5, Qt::DashLine));
    end->append(summary.EndTurns, range.Low);
    end->append(summary.EndTurns, high);
    Attach(chart, end, x, y);
    auto* point = new QScatterSeries;
    point->setMarkerSize(9);
    point->setColor(Qt::black);
    point->append(summary.EndTurns, state.Profile.SolidFraction[summary.EndPoint]);
    Attach(chart, point, x, y);
    chart->legend()->markers(point).front()->setVisible(false);
  }
  return chart;
}

QChart* ConditionsChart(const RunSnapshot& run) {
  const ModelState& state = run.State;
  QChart* chart = NewChart(QStringLiteral("Melt film, channel depth and barrel temperature"));
  const int rows = RowsOf(state);

  double deepest = 0;
  double coolest = 0;
  double hottest = 0;
  for (int i = 0; i < rows; ++i) {
    deepest = std::max({deepest, state.Grid.Depth[i], state.Profile.FilmThickness[i]});
    coolest = i == 0 ? state.Grid.BarrelTemp[i] : std::min(coolest, state.Grid.BarrelTemp[i]);
    hottest = i == 0 ? state.Grid.BarrelTemp[i] : std::max(hottest, state.Grid.BarrelTemp[i]);
  }
  // A flat barrel law still gets a band to draw in.
  const double margin = std::max(1.0, (hottest - coolest) * 0.1);

  QValueAxis* x = Axis(TurnsTitle, 0.0, ScrewZones(state.Inputs)[2].End);
  QValueAxis* length = Axis(QStringLiteral("Film thickness, channel depth (cm)"), 0.0, deepest > 0 ? deepest * 1.1 : 1.0);
  QValueAxis* temperature = Axis(QStringLiteral("Barrel temperature (\u00B0C)"), coolest - margin, hottest + margin);
  chart->addAxis(x, Qt::AlignBottom);
  chart->addAxis(length, Qt::AlignLeft);
  chart->addAxis(temperature, Qt::AlignRight);

  Attach(chart, Curve(state, state.Profile.FilmThickness, QStringLiteral("melt film thickness (cm)"), QColor(220, 110, 0)), x, length);
  Attach(chart, Curve(state, state.Grid.Depth, QStringLiteral("channel depth (cm)"), QColor(90, 90, 90)), x, length);
  Attach(chart, Curve(state, state.Grid.BarrelTemp, QStringLiteral("barrel temperature (\u00B0C)"), QColor(180, 0, 120)), x, temperature);
  return chart;
}
