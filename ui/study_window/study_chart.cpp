// The study window's chart: any figure of the summary (or the limit found)
// against the varied input, one curve per value of the second input, marks
// for warnings and for cases without a value, and the case under a point.

#include <QChart>
#include <QChartView>
#include <QComboBox>
#include <QCursor>
#include <QGraphicsLayout>
#include <QLabel>
#include <QLegend>
#include <QLegendMarker>
#include <QLineSeries>
#include <QPushButton>
#include <QScatterSeries>
#include <QToolTip>
#include <QValueAxis>
#include <cmath>

#include "results/input_names.h"
#include "results/number_text.h"
#include "ui/common/shown_numbers.h"
#include "ui/study_window/study_window.h"

namespace {

// Above this many cases the curves are drawn without a marker per point,
// which would cost more to paint than the window may spend.
constexpr uint64_t MarkedPointsUpTo = 400;
constexpr std::size_t LegendFamiliesUpTo = 12;

const QColor WarningColour(235, 140, 0);
const QColor GapColour(200, 0, 0);
const QColor SolidColour(30, 30, 30);
// Curves in colours that the two kinds of marks do not use.
const QColor CurveColours[] = {QColor(31, 90, 180), QColor(40, 140, 60),  QColor(120, 60, 160), QColor(0, 140, 150),
                               QColor(120, 80, 40), QColor(90, 90, 90),   QColor(180, 60, 140), QColor(60, 170, 220)};

struct SummaryFigure {
  const char* Name;
  double RunSummary::*Member;
};

const SummaryFigure Figures[] = {
    {"melting end (turns)", &RunSummary::EndTurns},
    {"QS/QT at end (-)", &RunSummary::EndSolidFraction},
    {"melting end L/D (-)", &RunSummary::EndLengthRatio},
    {"melting end from melting start (cm)", &RunSummary::EndDistance},
    {"motor power for melting (kW)", &RunSummary::MeltingPower},
    {"net melting energy (kW)", &RunSummary::NetMeltingEnergy},
    {"specific energy (kWh/kg)", &RunSummary::SpecificEnergy},
    {"conveying angle (\u00B0)", &RunSummary::ConveyingAngleDegrees},
};
constexpr int FigureCount = static_cast<int>(std::size(Figures));

// With the melt-conveying stage, after the summary's figures; named as the
// study file's columns.
struct StageFigure {
  const char* Name;
  MeltBound Bound;
  double MeltBoundSummary::*Member;
};

// The best estimate first: the bounds are its range.
const StageFigure StageFigures[] = {
    {"best estimate tip pressure (MPa)", MeltBound::BestEstimate, &MeltBoundSummary::TipPressure},
    {"best estimate pressure margin (MPa)", MeltBound::BestEstimate, &MeltBoundSummary::PressureMargin},
    {"best estimate tip melt temperature (\u00B0C)", MeltBound::BestEstimate, &MeltBoundSummary::TipMeltTemperature},
    {"adiabatic tip pressure (MPa)", MeltBound::Adiabatic, &MeltBoundSummary::TipPressure},
    {"barrel bound tip pressure (MPa)", MeltBound::Barrel, &MeltBoundSummary::TipPressure},
    {"adiabatic pressure margin (MPa)", MeltBound::Adiabatic, &MeltBoundSummary::PressureMargin},
    {"barrel bound pressure margin (MPa)", MeltBound::Barrel, &MeltBoundSummary::PressureMargin},
    {"adiabatic tip melt temperature (\u00B0C)", MeltBound::Adiabatic, &MeltBoundSummary::TipMeltTemperature},
    {"barrel bound tip melt temperature (\u00B0C)", MeltBound::Barrel, &MeltBoundSummary::TipMeltTemperature},
};

}  // namespace

void TStudyForm::FillFigures() {
  if (Shown->Find) {
    Figure->addItem(QStringLiteral("limit of %1").arg(StudyInputLabel(Shown->Find->Input)));
  } else {
    for (const SummaryFigure& figure : Figures) Figure->addItem(QString::fromUtf8(figure.Name));
    if (Shown->Settings.Base.MeltStage) {
      for (const StageFigure& figure : StageFigures) Figure->addItem(QString::fromUtf8(figure.Name));
    }
  }
}

bool TStudyForm::CaseValue(const StudyCaseResult& result, double& y) const {
  if (Shown->Find) {
    if (!result.Limit || !result.Limit->Value) return false;
    y = *result.Limit->Value;
    return true;
  }
  if (result.Result != RunResult::Completed) return false;
  const int figure = std::max(Figure->currentIndex(), 0);
  if (figure < FigureCount) {
    y = result.Summary.*Figures[figure].Member;
  } else {
    if (!result.Stage) return false;
    const StageFigure& stage = StageFigures[figure - FigureCount];
    y = (*result.Stage)[static_cast<std::size_t>(stage.Bound)].*stage.Member;
  }
  return std::isfinite(y);
}

// A search without a varied input has one case: it stands at 1.
double TStudyForm::CaseX(const StudyCaseResult& result) const {
  if (Shown->Plan.Axes.empty()) return 1;
  const std::vector<uint64_t> values = StudyCaseValues(Shown->Plan, result.Number);
  const std::size_t axis = Shown->Find ? Shown->Plan.Axes.size() - 1 : 0;
  return StudyAxisValue(Shown->Plan.Axes[axis], values[axis]);
}

std::size_t TStudyForm::FamilyOf(const StudyCaseResult& result) const {
  if (Shown->Find || Shown->Plan.Axes.size() < 2) return 0;
  return StudyCaseValues(Shown->Plan, result.Number)[1];
}

QString TStudyForm::FamilyName(std::size_t family) const {
  if (Shown->Find) return QStringLiteral("limit");
  if (Shown->Plan.Axes.size() < 2) return Figure->currentText();
  const StudyAxis& axis = Shown->Plan.Axes[1];
  return QStringLiteral("%1 = %2 %3")
      .arg(QString::fromLatin1(InputNames[static_cast<std::size_t>(axis.Input)].Name),
           ShownFullNumber(StudyAxisValue(axis, family)),
           QString::fromStdString(InputUnit(axis.Input, Shown->Settings.Base.UnitIndex)));
}

void TStudyForm::ResetChart() {
  auto* chart = new QChart;
  chart->setTitle(QString());
  LocalizeChartNumbers(chart);
  // The height goes to the plot, so that a long figure's axis title stands whole.
  chart->layout()->setContentsMargins(0, 0, 0, 0);
  chart->setMargins(QMargins(6, 6, 6, 6));
  AxisX = new QValueAxis;
  AxisY = new QValueAxis;
  for (QValueAxis* axis : {AxisX, AxisY}) axis->setLabelFormat(QStringLiteral("%.4g"));
  if (Shown) {
    const int xInput = Shown->Plan.Axes.empty() ? -1
                       : Shown->Find        ? Shown->Plan.Axes.back().Input
                                            : Shown->Plan.Axes.front().Input;
    AxisX->setTitleText(xInput >= 0 ? StudyInputLabel(xInput) : QStringLiteral("case"));
    AxisY->setTitleText(Figure->currentText());
  }
  chart->addAxis(AxisX, Qt::AlignBottom);
  chart->addAxis(AxisY, Qt::AlignLeft);
  // The marks join the chart with their first point: a legend entry shown
  // later than its neighbours' is drawn over them.
  WarningMarks = new QScatterSeries(chart);
  WarningMarks->setName(QStringLiteral("with warnings"));
  WarningMarks->setColor(WarningColour);
  WarningMarks->setBorderColor(WarningColour);
  WarningMarks->setMarkerSize(7);
  GapMarks = new QScatterSeries(chart);
  GapMarks->setName(QStringLiteral("no value (hover for why)"));
  GapMarks->setMarkerShape(QScatterSeries::MarkerShapeTriangle);
  GapMarks->setColor(GapColour);
  GapMarks->setBorderColor(GapColour);
  GapMarks->setMarkerSize(8);
  // Solid left says more than the warning that comes with it: its own mark.
  SolidMarks = new QScatterSeries(chart);
  SolidMarks->setName(QStringLiteral("solid left at the screw end"));
  SolidMarks->setMarkerShape(QScatterSeries::MarkerShapeRectangle);
  SolidMarks->setColor(SolidColour);
  SolidMarks->setBorderColor(SolidColour);
  SolidMarks->setMarkerSize(7);
  for (QScatterSeries* marks : {WarningMarks, SolidMarks, GapMarks}) {
    connect(marks, &QXYSeries::clicked, this, [this, marks](const QPointF& point) { PointEvent(marks, point, true); });
    connect(marks, &QXYSeries::hovered, this, [this, marks](const QPointF& point, bool state) {
      if (state) PointEvent(marks, point, false);
    });
  }
  QChart* old = ChartView->chart();
  ChartView->setChart(chart);
  delete old;  // the view gives up the old chart without deleting it
  Chart = chart;
  Families.clear();
  SeriesCases.clear();
  AnyPoint = false;
}

void TStudyForm::PlotCases(std::size_t first) {
  if (!Shown) return;
  const bool marked = StudyCaseCount(Shown->Plan) <= MarkedPointsUpTo;
  // Points are gathered per series and put in once per batch with replace():
  // append() redraws the whole series for every point it adds.
  QHash<QXYSeries*, QList<QPointF>> added;
  for (std::size_t index = first; index < Finished.size(); ++index) {
    const StudyCaseResult& result = Finished[index];
    const std::size_t family = FamilyOf(result);
    if (family >= Families.size()) Families.resize(family + 1);
    Family& curve = Families[family];
    const double x = CaseX(result);
    double y = 0;
    if (!CaseValue(result, y)) {
      curve.Broken = true;
      added[GapMarks].append(QPointF(x, 0));  // placed on the axis by FitAxes
      SeriesCases[GapMarks].push_back(index);
      continue;
    }
    if (!curve.Segment || curve.Broken) {
      const bool firstSegment = curve.Segment == nullptr;
      auto* segment = new QLineSeries;
      segment->setName(FamilyName(family));
      segment->setPointsVisible(marked);
      segment->setColor(CurveColours[family % std::size(CurveColours)]);
      Chart->addSeries(segment);
      segment->attachAxis(AxisX);
      segment->attachAxis(AxisY);
      for (QLegendMarker* marker : Chart->legend()->markers(segment)) marker->setVisible(firstSegment);
      connect(segment, &QXYSeries::clicked, this, [this, segment](const QPointF& point) { PointEvent(segment, point, true); });
      connect(segment, &QXYSeries::hovered, this, [this, segment](const QPointF& point, bool state) {
        if (state) PointEvent(segment, point, false);
      });
      curve.Segment = segment;
      curve.Broken = false;
    }
    added[curve.Segment].append(QPointF(x, y));
    SeriesCases[curve.Segment].push_back(index);
    // The melting run's warnings and, with it on, the stage's, whatever figure is shown.
    QScatterSeries* marks = nullptr;
    if (Shown->Find) {
      if (result.Limit->Status == LimitStatus::SeveralChanges) marks = WarningMarks;
    } else if (result.Verdict == CaseVerdict::SolidLeft) {
      marks = SolidMarks;
    } else if (result.Verdict == CaseVerdict::Warnings) {
      marks = WarningMarks;
    }
    if (marks) {
      added[marks].append(QPointF(x, y));
      SeriesCases[marks].push_back(index);
    }
    if (!AnyPoint) {
      MinX = MaxX = x;
      MinY = MaxY = y;
      AnyPoint = true;
    }
    MinX = std::min(MinX, x);
    MaxX = std::max(MaxX, x);
    MinY = std::min(MinY, y);
    MaxY = std::max(MaxY, y);
  }
  for (QScatterSeries* marks : {WarningMarks, SolidMarks, GapMarks}) {
    if (marks->chart() || !added.contains(marks)) continue;
    Chart->addSeries(marks);
    marks->attachAxis(AxisX);
    marks->attachAxis(AxisY);
  }
  for (auto it = added.begin(); it != added.end(); ++it) it.key()->replace(it.key()->points() + it.value());
  if (!GapMarks->points().isEmpty() && !AnyPoint) {
    MinX = MaxX = GapMarks->at(0).x();
    MinY = 0;
    MaxY = 1;
  }
  for (const QPointF& gap : GapMarks->points()) {
    MinX = std::min(MinX, gap.x());
    MaxX = std::max(MaxX, gap.x());
  }
  Chart->legend()->setVisible(Families.size() <= LegendFamiliesUpTo);
  FitAxes();
}

void TStudyForm::FitAxes() {
  const double padX = MaxX > MinX ? 0.03 * (MaxX - MinX) : 1;
  const double padY = MaxY > MinY ? 0.05 * (MaxY - MinY) : std::max(std::fabs(MaxY) * 0.05, 1.0);
  AxisX->setRange(MinX - padX, MaxX + padX);
  AxisY->setRange(MinY - padY, MaxY + padY);
  AxisX->applyNiceNumbers();
  AxisY->applyNiceNumbers();
  // Cases without a value sit on the horizontal axis.
  const double bottom = AxisY->min();
  QList<QPointF> gaps = GapMarks->points();
  bool moved = false;
  for (QPointF& gap : gaps) {
    moved = moved || gap.y() != bottom;
    gap.setY(bottom);
  }
  if (moved) GapMarks->replace(gaps);
}

QString TStudyForm::CaseText(const StudyCaseResult& result) const {
  QString text = QStringLiteral("case %1").arg(result.Number);
  const std::vector<uint64_t> values = StudyCaseValues(Shown->Plan, result.Number);
  for (std::size_t a = 0; a < Shown->Plan.Axes.size(); ++a) {
    const StudyAxis& axis = Shown->Plan.Axes[a];
    text += QStringLiteral(", %1 = %2").arg(QString::fromLatin1(InputNames[static_cast<std::size_t>(axis.Input)].Name),
                                            ShownFullNumber(StudyAxisValue(axis, values[a])));
  }
  double y = 0;
  if (CaseValue(result, y)) {
    text += QStringLiteral("\n%1: %2").arg(Figure->currentText(), ShownFullNumber(y));
  }
  if (!result.Message.empty()) text += QStringLiteral("\n") + ShownText(result.Message);
  for (const std::string& warning : result.Summary.Warnings) text += QStringLiteral("\n\u26A0 ") + ShownText(warning);
  if (!result.StageMessage.empty()) text += QStringLiteral("\n") + ShownText(result.StageMessage);
  for (const std::string& warning : result.StageWarnings) text += QStringLiteral("\n\u26A0 ") + ShownText(warning);
  if (result.Limit && result.Limit->Status == LimitStatus::SeveralChanges) {
    text += QStringLiteral("\n\u26A0 the condition changes more than once; it holds in ") +
            ShownText(LimitIntervalsText(result.Limit->Intervals));
  }
  return text + QStringLiteral("\nClick to select this case.");
}

void TStudyForm::PointEvent(QAbstractSeries* series, const QPointF& point, bool click) {
  auto* xy = static_cast<QXYSeries*>(series);
  const std::vector<std::size_t>& cases = SeriesCases.value(series);
  // A click on a line lands between points: take the point nearest in x.
  std::size_t best = cases.size();
  double distance = 0;
  for (std::size_t i = 0; i < cases.size() && i < static_cast<std::size_t>(xy->count()); ++i) {
    const double d = std::fabs(xy->at(static_cast<int>(i)).x() - point.x()) + std::fabs(xy->at(static_cast<int>(i)).y() - point.y()) * 1e-9;
    if (best == cases.size() || d < distance) {
      best = i;
      distance = d;
    }
  }
  if (best == cases.size()) return;
  if (click) {
    SelectCase(cases[best]);
  } else {
    QToolTip::showText(QCursor::pos(), CaseText(Finished[cases[best]]), ChartView);
  }
}


bool TStudyForm::SingleLimit() const { return Shown && Shown->Find && Shown->Plan.Axes.empty(); }

void TStudyForm::ShowSingleLimit() {
  const bool single = SingleLimit();
  ChartArea->setVisible(!single);
  LimitText->setVisible(single);
  LimitText->setToolTip(QString());
  // Words are no chart to save; the export still has the row.
  for (QPushButton* button : Exports) {
    if (button->objectName() != QLatin1String("StudyExportCsvButton"))
      button->setEnabled(button->isEnabled() && !single);
  }
  if (!single) return;
  const LimitSearch& search = *Shown->Find;
  const QString name = QString::fromLatin1(InputNames[static_cast<std::size_t>(search.Input)].Name);
  const QString unit = QString::fromStdString(InputUnit(search.Input, Shown->Settings.Base.UnitIndex));
  if (Finished.empty() || !Finished.front().Limit) {
    LimitText->setText(Running() ? QStringLiteral("<p>Searching the limit of %1...</p>").arg(name)
                                 : QStringLiteral("<p>The search of a limit of %1 ended without a result.</p>").arg(name));
    return;
  }
  const LimitResult& limit = *Finished.front().Limit;
  const QString value = limit.Value ? ShownSignificant(*limit.Value, 6) + QLatin1Char(' ') + unit : QStringLiteral("no value");
  if (limit.Value) LimitText->setToolTip(ShownFullNumber(*limit.Value) + QLatin1Char(' ') + unit);
  QString text = QStringLiteral("<p style='font-size:xx-large'><b>%1</b></p>").arg(value.toHtmlEscaped());
  text += QStringLiteral("<p>%1</p>")
              .arg(ShownText(LimitResultLine(search, limit, Shown->Settings.Base.UnitIndex)).toHtmlEscaped());
  if (!limit.Stopped) {
    text += QStringLiteral("<p>Status: <b>%1</b>. Its run, case 1, is at %2 = %3 %4: Show Case in Results opens it.</p>")
                .arg(QString::fromLatin1(LimitStatusName(limit.Status)), name,
                     ShownText(limit.ShownText).toHtmlEscaped(), unit.toHtmlEscaped());
  }
  LimitText->setText(text);
}
