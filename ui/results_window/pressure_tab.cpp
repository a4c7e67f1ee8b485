#include "ui/results_window/pressure_tab.h"

#include <QChart>
#include <QChartView>
#include <QComboBox>
#include <QFile>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollArea>
#include <QThread>
#include <QVBoxLayout>
#include <atomic>

#include "results/number_text.h"
#include "ui/common/shown_numbers.h"
#include "ui/results_window/pressure_chart.h"

namespace {

// The die modes as the box offers them, in DieMode order.
constexpr std::array<const char*, 5> DieModeLabels = {"No die (open discharge)", "Head pressure", "Capillary",
                                                      "Slit", "Constant (K)"};

// The edits of the numeric inputs, in MeltTexts order from 1.
constexpr std::array<const char*, MeltInputCount> EditLabels = {
    "", "Head pressure (MPa)", "Diameter (cm)", "Length (cm)", "Slit width (cm)", "Slit gap (cm)", "K (cm\u00B3)",
    "Start pressure (MPa)"};

// Which numeric inputs a die mode reads; MeltStartPressure always.
bool Reads(DieMode mode, int input) {
  switch (input) {
    case DieHeadPressureInput:
      return mode == DieMode::HeadPressure;
    case DieDiameterInput:
      return mode == DieMode::Capillary;
    case DieLengthInput:
      return mode == DieMode::Capillary || mode == DieMode::Slit;
    case DieSlitWidthInput:
    case DieSlitGapInput:
      return mode == DieMode::Slit;
    case DieConstantInput:
      return mode == DieMode::Constant;
    default:
      return true;
  }
}

constexpr int SidePanelWidth = 390;

// A sentence or figure of the stage as the window shows numbers.
QString Html(const std::string& text) { return ShownText(text).toHtmlEscaped(); }

QString Number(double value, int decimals) { return Html(FixedText(value, decimals)); }

QString Number(const std::optional<double>& value, int decimals) {
  return value ? Number(*value, decimals) : QStringLiteral("\u2013");
}

const MeltBoundSummary& Of(const MeltStage& stage, MeltBound bound) {
  return stage.Summary[static_cast<std::size_t>(bound)];
}

const MeltOperatingPoint& Of(const MeltOperatingPoints& points, MeltBound bound) {
  return bound == MeltBound::Adiabatic ? points.Adiabatic : points.Barrel;
}

PressureCurves CurvesOf(const MeltStage& stage) {
  PressureCurves curves;
  for (const MeltPoint& point : stage.Points) {
    curves.Turns.push_back(point.Turn);
    for (int b = 0; b < MeltBoundCount; ++b) {
      curves.Pressure[b].push_back(point.Bounds[static_cast<std::size_t>(b)].Pressure);
      curves.Temperature[b].push_back(point.Bounds[static_cast<std::size_t>(b)].Temperature);
    }
  }
  curves.DiePressure = std::array<double, 2>{Of(stage, MeltBound::Adiabatic).DiePressure,
                                             Of(stage, MeltBound::Barrel).DiePressure};
  curves.MeltEndTurn = stage.Common.MeltEndTurn;
  return curves;
}

// A wrapped label in a scroll area gets no more height than its minimum;
// ask for the height its text needs at the side panel's width.
void SetWrappedText(QLabel* label, const QString& text) {
  label->setText(text);
  label->setMinimumHeight(text.isEmpty() ? 0 : label->heightForWidth(SidePanelWidth - 60));
}

void ReplaceChart(QChartView* view, QChart* chart) {
  QChart* old = view->chart();
  view->setChart(chart);
  delete old;  // the view gives up the old chart without deleting it
}

}  // namespace

// One search: what it was started from, its cancel flag and its result. The
// worker thread writes Result; the GUI thread reads it once the thread has
// finished.
struct TPressureTab::Search {
  std::atomic<bool> Cancel{false};
  MeltOperatingPoints Result;
  char DecimalSeparator = '.';
};

TPressureTab::TPressureTab(QWidget* parent) : QWidget(parent) {
  setObjectName(QStringLiteral("PressureTab"));

  Chart = new QChartView;
  Chart->setObjectName(QStringLiteral("PressureChart"));
  Chart->setRenderHint(QPainter::Antialiasing);

  DieModeBox = new QComboBox;
  DieModeBox->setObjectName(QStringLiteral("DieModeBox"));
  for (std::size_t m = 0; m < DieModeLabels.size(); ++m)
    DieModeBox->addItem(QString::fromUtf8(DieModeLabels[m]), QString::fromLatin1(DieModeNames[m]));
  auto* dieBox = new QGroupBox(QStringLiteral("Die"));
  auto* dieForm = new QFormLayout(dieBox);
  dieForm->addRow(QStringLiteral("Mode"), DieModeBox);
  const MeltTexts initial = InitialMeltTexts();
  for (int k = 1; k < MeltInputCount; ++k) {
    auto* edit = new QLineEdit(QString::fromStdString(initial[static_cast<std::size_t>(k)]));
    edit->setObjectName(QString::fromLatin1(MeltInputNames[static_cast<std::size_t>(k)].Name) + QStringLiteral("Edit"));
    connect(edit, &QLineEdit::editingFinished, this, [this] { Recompute(); });
    dieForm->addRow(QString::fromUtf8(EditLabels[static_cast<std::size_t>(k)]), edit);
    Edits[static_cast<std::size_t>(k)] = edit;
  }
  connect(DieModeBox, &QComboBox::currentIndexChanged, this, [this] {
    EnableDieFields();
    Recompute();
  });

  SummaryText = new QLabel;
  SummaryText->setObjectName(QStringLiteral("MeltSummaryText"));
  WarningText = new QLabel;
  WarningText->setObjectName(QStringLiteral("MeltWarningText"));
  OperatingPointText = new QLabel;
  OperatingPointText->setObjectName(QStringLiteral("OperatingPointText"));
  for (QLabel* label : {SummaryText, WarningText, OperatingPointText}) {
    label->setWordWrap(true);
    label->setTextFormat(Qt::RichText);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  }

  FindButton = new QPushButton(QStringLiteral("Find operating point"));
  FindButton->setObjectName(QStringLiteral("FindOperatingPointButton"));
  FindButton->setToolTip(QStringLiteral("The output at which the screw's tip pressure equals the die's need, per bound: "
                                        "about 40 full runs each."));
  CancelButton = new QPushButton(QStringLiteral("Cancel"));
  CancelButton->setObjectName(QStringLiteral("CancelOperatingPointButton"));
  Busy = new QProgressBar;
  Busy->setObjectName(QStringLiteral("OperatingPointBusy"));
  Busy->setRange(0, 0);  // no end known: a busy indicator
  Busy->setTextVisible(false);
  Busy->setMaximumHeight(12);
  connect(FindButton, &QPushButton::clicked, this, &TPressureTab::FindOperatingPointClick);
  connect(CancelButton, &QPushButton::clicked, this, &TPressureTab::CancelClick);
  auto* searchBox = new QGroupBox(QStringLiteral("Flood-fed operating point"));
  auto* searchLayout = new QVBoxLayout(searchBox);
  auto* searchButtons = new QHBoxLayout;
  searchButtons->addWidget(FindButton);
  searchButtons->addWidget(CancelButton);
  searchLayout->addLayout(searchButtons);
  searchLayout->addWidget(Busy);
  searchLayout->addWidget(OperatingPointText);
  const std::array<MeltBound, 2> bounds = {MeltBound::Adiabatic, MeltBound::Barrel};
  for (MeltBound bound : bounds) {
    auto* use = new QPushButton(bound == MeltBound::Adiabatic ? QStringLiteral("Use adiabatic output as Output")
                                                              : QStringLiteral("Use barrel bound output as Output"));
    use->setObjectName(bound == MeltBound::Adiabatic ? QStringLiteral("UseAdiabaticOutputButton")
                                                     : QStringLiteral("UseBarrelOutputButton"));
    connect(use, &QPushButton::clicked, this, [this, bound] { UseOutput(bound); });
    searchLayout->addWidget(use);
    UseButtons[static_cast<std::size_t>(bound)] = use;
  }

  auto* sidePage = new QWidget;
  auto* side = new QVBoxLayout(sidePage);
  side->addWidget(dieBox);
  side->addWidget(searchBox);
  side->addWidget(SummaryText);
  side->addWidget(WarningText);
  side->addStretch(1);
  auto* sideScroll = new QScrollArea;
  sideScroll->setObjectName(QStringLiteral("MeltFacts"));
  sideScroll->setWidget(sidePage);
  sideScroll->setWidgetResizable(true);
  sideScroll->setFrameShape(QFrame::NoFrame);
  sideScroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  sideScroll->setFixedWidth(SidePanelWidth);

  auto* key = new QLabel(QString::fromUtf8(PressureChartKey));
  key->setWordWrap(true);
  auto* chartSide = new QVBoxLayout;
  chartSide->addWidget(Chart, 1);
  chartSide->addWidget(key);
  auto* layout = new QHBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addLayout(chartSide, 1);
  layout->addWidget(sideScroll);

  EnableDieFields();
  ShowRun(nullptr);
}

TPressureTab::~TPressureTab() { StopSearch(); }

MeltTexts TPressureTab::Texts() const {
  MeltTexts texts;
  texts[DieModeInput] = DieModeBox->currentData().toString().toStdString();
  for (int k = 1; k < MeltInputCount; ++k)
    texts[static_cast<std::size_t>(k)] = Edits[static_cast<std::size_t>(k)]->text().toStdString();
  return texts;
}

void TPressureTab::SetTexts(const MeltTexts& texts) {
  const QSignalBlocker block(DieModeBox);
  const int mode = DieModeBox->findData(QString::fromStdString(texts[DieModeInput]));
  DieModeBox->setCurrentIndex(mode < 0 ? 0 : mode);
  for (int k = 1; k < MeltInputCount; ++k)
    Edits[static_cast<std::size_t>(k)]->setText(QString::fromStdString(texts[static_cast<std::size_t>(k)]));
  EnableDieFields();
  Recompute();
}

void TPressureTab::EnableDieFields() {
  const DieMode mode = static_cast<DieMode>(std::max(0, DieModeBox->currentIndex()));
  for (int k = 1; k < MeltInputCount; ++k) Edits[static_cast<std::size_t>(k)]->setEnabled(Reads(mode, k));
}

void TPressureTab::ShowRun(std::shared_ptr<const RunSnapshot> run) {
  Shown = std::move(run);
  // Untouched initial texts follow the run's decimal separator.
  if (Shown && Texts() == InitialMeltTexts(Shown->DecimalSeparator == '.' ? ',' : '.')) {
    SetTexts(InitialMeltTexts(Shown->DecimalSeparator));
    return;
  }
  Recompute();
}

void TPressureTab::Recompute() {
  StopSearch();
  Current.reset();
  StageShown = false;
  if (!Shown) {
    ShowStage(QString());
    return;
  }
  MeltInputs inputs;
  if (const std::optional<std::string> refusal = ConvertMeltInputs(Texts(), Shown->DecimalSeparator, inputs)) {
    ShowStage(QString::fromStdString(*refusal));
    return;
  }
  const RunOutcome outcome = RunMeltStage(Shown->State, inputs, TheStage);
  StageShown = outcome.Result == RunResult::Completed;
  ShowStage(StageShown ? QString() : QString::fromStdString(OutcomeMessage(outcome)));
}

void TPressureTab::ShowStage(const QString& refusal) {
  FindButton->setEnabled(StageShown);
  CancelButton->setEnabled(false);
  Busy->setVisible(false);
  for (QPushButton* use : UseButtons) use->setEnabled(false);
  SetWrappedText(OperatingPointText, QString());
  if (!StageShown) {
    ReplaceChart(Chart, new QChart);
    SetWrappedText(WarningText, QString());
    SetWrappedText(SummaryText, Shown ? QStringLiteral("<p style='color:#a00000'><b>The stage did not run:</b> %1</p>")
                                     .arg(refusal.toHtmlEscaped())
                               : QStringLiteral("<p>No calculation has completed yet. After a run this tab shows the "
                                                "pressure and the melt temperature up to the screw tip.</p>"));
    return;
  }
  ReplaceChart(Chart, PressureChart(Shown->State.Inputs, CurvesOf(TheStage)));

  const MeltBoundSummary& a = Of(TheStage, MeltBound::Adiabatic);
  const MeltBoundSummary& b = Of(TheStage, MeltBound::Barrel);
  auto row = [](const QString& name, const QString& first, const QString& second) {
    return QStringLiteral("<tr><td>%1</td><td align='right'>&nbsp;%2</td><td align='right'>&nbsp;%3</td></tr>")
        .arg(name, first, second);
  };
  QString rows = row(QString(), QStringLiteral("<b>adiabatic</b>"), QStringLiteral("<b>barrel</b>"));
  rows += row(QStringLiteral("Tip pressure (MPa)"), Number(a.TipPressure, 3), Number(b.TipPressure, 3));
  rows += row(QStringLiteral("Die needs (MPa)"), Number(a.DiePressure, 3), Number(b.DiePressure, 3));
  rows += row(QStringLiteral("Margin (MPa)"), Number(a.PressureMargin, 3), Number(b.PressureMargin, 3));
  rows += row(QStringLiteral("Peak pressure (MPa)"), Number(a.PeakPressure, 3), Number(b.PeakPressure, 3));
  rows += row(QStringLiteral("&nbsp;&nbsp;at turn"), Number(a.PeakPressureTurn, 2), Number(b.PeakPressureTurn, 2));
  rows += row(QStringLiteral("Lowest pressure (MPa)"), Number(a.MinPressure, 3), Number(b.MinPressure, 3));
  rows += row(QStringLiteral("Melt at end of melting (\u00B0C)"), Number(a.MeltStartTemperature, 1),
              Number(b.MeltStartTemperature, 1));
  rows += row(QStringLiteral("Melt at the tip (\u00B0C)"), Number(a.TipMeltTemperature, 1), Number(b.TipMeltTemperature, 1));
  rows += row(QStringLiteral("Die viscosity (Pa.s)"), Number(a.DieViscosity, 2), Number(b.DieViscosity, 2));
  rows += row(QStringLiteral("Melt conveying power (kW)"), Number(a.MeltConveyingPower, 3), Number(b.MeltConveyingPower, 3));
  rows += row(QStringLiteral("Total screw power (kW)"), Number(a.TotalScrewPower, 3), Number(b.TotalScrewPower, 3));
  rows += row(QStringLiteral("Energy residual (kW)"), Number(a.EnergyResidual, 3), Number(b.EnergyResidual, 3));
  const MeltCommonFigures& common = TheStage.Common;
  QString facts = QStringLiteral("Drag capacity of the melted channel: <b>%1 kg/hr</b>").arg(Number(common.DragCapacity, 2));
  if (common.DieConductance)
    facts += QStringLiteral("<br>Die conductance K: %1 cm\u00B3").arg(ShownSignificant(*common.DieConductance, 6));
  SetWrappedText(SummaryText, QStringLiteral("<table>%1</table><p>%2</p>").arg(rows, facts));

  QString warnings;
  for (const MeltWarning& warning : TheStage.Warnings) {
    warnings += IsMeltNote(warning.Code)
                    ? QStringLiteral("<p style='color:#404040'>\u2139 Note: %1</p>").arg(Html(warning.Text))
                    : QStringLiteral("<p style='color:#a04000'>\u26A0 %1</p>").arg(Html(warning.Text));
  }
  SetWrappedText(WarningText, warnings.isEmpty() ? QStringLiteral("<p style='color:#1a6e1a'>No warnings from the stage.</p>")
                                          : warnings);
}

void TPressureTab::FindOperatingPointClick() {
  if (!StageShown || Worker) return;
  RunTexts texts;
  for (int i = 0; i < InputCount; ++i)
    texts[static_cast<std::size_t>(i)] = Shown->FieldTexts[static_cast<std::size_t>(i)].toStdString();
  texts[InputCount] = QFile::encodeName(Shown->ReportPath).toStdString();
  auto search = std::make_shared<Search>();
  search->DecimalSeparator = Shown->DecimalSeparator;
  Current = search;
  Worker = QThread::create([search, texts, unit = Shown->UnitIndex, meltTexts = Texts(), stage = TheStage] {
    OperatingPointSettings settings;
    settings.Cancel = &search->Cancel;
    search->Result = FindOperatingPoints(texts, unit, search->DecimalSeparator, meltTexts, stage, settings);
  });
  QThread* worker = Worker;
  connect(worker, &QThread::finished, this, [this, worker, search] {
    // A search stopped for a newer run or newer die inputs was already
    // waited for and deleted.
    if (Current != search || Worker != worker) return;
    Worker = nullptr;
    worker->deleteLater();
    ShowOperatingPoints();
    emit SearchEnded();
  });
  FindButton->setEnabled(false);
  CancelButton->setEnabled(true);
  Busy->setVisible(true);
  SetWrappedText(OperatingPointText,
                 QStringLiteral("<p>Searching: every trial is a full run of the melting model and the stage.</p>"));
  worker->start();
}

void TPressureTab::CancelClick() {
  if (Current) Current->Cancel = true;
}

// Waits for a search that is no longer wanted; the flag ends it at its next
// trial run.
void TPressureTab::StopSearch() {
  if (!Worker) return;
  QThread* worker = Worker;
  Worker = nullptr;
  if (Current) Current->Cancel = true;
  worker->wait();
  delete worker;
  emit SearchEnded();
}

void TPressureTab::ShowOperatingPoints() {
  FindButton->setEnabled(StageShown);
  CancelButton->setEnabled(false);
  Busy->setVisible(false);
  const MeltOperatingPoint& a = Current->Result.Adiabatic;
  const MeltOperatingPoint& b = Current->Result.Barrel;
  auto row = [](const QString& name, const QString& first, const QString& second) {
    return QStringLiteral("<tr><td>%1</td><td align='right'>&nbsp;%2</td><td align='right'>&nbsp;%3</td></tr>")
        .arg(name, first, second);
  };
  auto figure = [](const MeltOperatingPoint& point, double value, int decimals) {
    return point.Status == OperatingPointStatus::Found ? Number(value, decimals) : QStringLiteral("\u2013");
  };
  QString text = QStringLiteral("<table>");
  text += row(QString(), QStringLiteral("<b>adiabatic</b>"), QStringLiteral("<b>barrel</b>"));
  text += row(QStringLiteral("<b>Output (kg/hr)</b>"), QStringLiteral("<b>%1</b>").arg(figure(a, a.Output, 3)),
              QStringLiteral("<b>%1</b>").arg(figure(b, b.Output, 3)));
  text += row(QStringLiteral("Tip = die pressure (MPa)"), figure(a, a.TipPressure, 3), figure(b, b.TipPressure, 3));
  text += row(QStringLiteral("Melt at the tip (\u00B0C)"), figure(a, a.TipMeltTemperature, 1),
              figure(b, b.TipMeltTemperature, 1));
  text += row(QStringLiteral("Full runs"), QString::number(a.Evaluations + 1), QString::number(b.Evaluations + 1));
  text += QStringLiteral("</table>");
  for (MeltBound bound : {MeltBound::Adiabatic, MeltBound::Barrel}) {
    const MeltOperatingPoint& point = Of(Current->Result, bound);
    UseButtons[static_cast<std::size_t>(bound)]->setEnabled(point.Status == OperatingPointStatus::Found);
    const QString name = bound == MeltBound::Adiabatic ? QStringLiteral("Adiabatic") : QStringLiteral("Barrel bound");
    QString note;
    if (point.Status == OperatingPointStatus::Cancelled) {
      note = QStringLiteral("cancelled");
    } else if (point.Status != OperatingPointStatus::Found) {
      note = QStringLiteral("not found (%1, last output %2 kg/hr)")
                 .arg(QString::fromLatin1(OperatingPointStatusName(point.Status)), Number(point.Output, 3));
      if (point.Status == OperatingPointStatus::TrialFailed) note += QStringLiteral(": ") + Html(OutcomeMessage(point.TrialOutcome));
    } else if (point.SolidAtTip) {
      note = QStringLiteral("solid is left at the tip at this output");
    } else if (point.InJump) {
      note = QStringLiteral("the tip pressure jumps here: no output balances the die exactly");
    }
    if (!note.isEmpty()) text += QStringLiteral("<p>%1: %2</p>").arg(name, note);
  }
  SetWrappedText(OperatingPointText, text);
}

void TPressureTab::UseOutput(MeltBound bound) {
  if (!Current || Worker) return;
  const MeltOperatingPoint& point = Of(Current->Result, bound);
  if (point.Status != OperatingPointStatus::Found) return;
  // The field takes the window's decimal separator.
  QString text = QString::fromStdString(RoundTripText(point.Output));
  text.replace(QLatin1Char('.'), QLatin1Char(Current->DecimalSeparator));
  emit OutputChosen(text);
}
