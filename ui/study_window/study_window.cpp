#include "ui/study_window/study_window.h"

#include "ui/common/material_text.h"

#include <QBuffer>
#include <QButtonGroup>
#include <QChart>
#include <QChartView>
#include <QCloseEvent>
#include <QCheckBox>
#include <QComboBox>
#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QShortcut>
#include <QSplitter>
#include <QStandardItemModel>
#include <QSvgGenerator>
#include <QTableView>
#include <QTimer>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>
#include <thread>

#include "model/number_conversion.h"
#include "report/replace_file.h"
#include "results/input_names.h"
#include "results/melt_run.h"
#include "results/number_text.h"
#include "ui/common/channel_picture.h"
#include "ui/common/dialogs.h"
#include "ui/common/material_text.h"
#include "ui/common/input_rows.h"
#include "ui/main_window/main_window.h"
#include "ui/common/run_snapshot.h"
#include "ui/common/shown_numbers.h"
#include "ui/study_window/study_table.h"

namespace {

constexpr int PollMilliseconds = 100;
// The chart tall enough for the longest figure's axis title (a best
// estimate's) at the window's minimum size; the table gives way.
constexpr int ChartMinimumHeight = 390;
constexpr int TableMinimumHeight = 70;

double Seconds() {
  static const QElapsedTimer clock = [] {
    QElapsedTimer timer;
    timer.start();
    return timer;
  }();
  return static_cast<double>(clock.nsecsElapsed()) * 1e-9;
}

}  // namespace

QString StudyInputLabel(int input) {
  if (input == MaterialAxisInput) return QStringLiteral("Material");
  QString label = QString::fromUtf8(InputRows[static_cast<std::size_t>(input)].Label).trimmed();
  if (label.endsWith(QLatin1Char(':'))) label.chop(1);
  label = label.trimmed();
  const QString unit = QString::fromStdString(InputUnit(input, InitialUnitIndex));
  // The labels write degrees Celsius as one sign, the units as two.
  const QString named = QString(label).replace(QChar(0x2103), QStringLiteral("\u00B0C"));
  if (!named.contains(QLatin1Char('(') + unit.left(2)) && unit != QLatin1String("-"))
    label += QStringLiteral(" (%1)").arg(unit);
  return label;
}


TStudyForm::TStudyForm(TMF_Tad& mainWindow, Dialogs& dialogs, QWidget* parent)
    : QWidget(parent, Qt::Window), MainWindow(mainWindow), TheDialogs(dialogs) {
  setObjectName(QStringLiteral("StudyForm"));
  setWindowTitle(QStringLiteral("Study"));
  setWindowIcon(ChannelIcon());
  setAttribute(Qt::WA_QuitOnClose, false);
  resize(1000, 740);

  auto* vary = new QRadioButton(QStringLiteral("Vary inputs"));
  vary->setObjectName(QStringLiteral("VaryMode"));
  auto* find = new QRadioButton(QStringLiteral("Find limit"));
  find->setObjectName(QStringLiteral("FindMode"));
  Mode = new QButtonGroup(this);
  Mode->addButton(vary, 0);
  Mode->addButton(find, 1);
  vary->setChecked(true);
  connect(Mode, &QButtonGroup::idToggled, this, [this](int, bool checked) {
    if (checked) ModeChanged();
  });

  StageBox = new QCheckBox(QStringLiteral("Melt-conveying stage"));
  StageBox->setObjectName(QStringLiteral("StudyMeltStage"));
  connect(StageBox, &QCheckBox::clicked, this, [this] {
    StageTouched = true;
    ModeChanged();
  });

  auto* controls = new QGridLayout;
  controls->addWidget(vary, 0, 0);
  controls->addWidget(find, 0, 1);
  controls->addWidget(StageBox, 0, 2, 1, 4);
  First = BuildAxisRow(QStringLiteral("Input"), false);
  Second = BuildAxisRow(QStringLiteral("Second input"), true);
  int row = 1;
  for (const AxisControls* axis : {&First, &Second}) {
    controls->addWidget(axis->Input, row, 0, 1, 2);
    int column = 2;
    for (QLineEdit* edit : {axis->From, axis->To, axis->Step, axis->List}) controls->addWidget(edit, row, column++);
    controls->addWidget(axis->Preview, row, column);
    ++row;
  }
  Condition = new QComboBox;
  Condition->setObjectName(QStringLiteral("StudyCondition"));
  Condition->addItem(QStringLiteral("melts fully before the screw end (melted)"), static_cast<int>(LimitCondition::Melted));
  Condition->addItem(QStringLiteral("melts fully, without warnings (clean)"), static_cast<int>(LimitCondition::Clean));
  Condition->addItem(QStringLiteral("reaches the die, margin at least 0 (die-reached)"),
                     static_cast<int>(LimitCondition::DieReached));
  Bound = new QComboBox;
  Bound->setObjectName(QStringLiteral("StudyBound"));
  Bound->addItem(QStringLiteral("both bounds"), static_cast<int>(LimitBound::Both));
  Bound->addItem(QStringLiteral("best estimate"), static_cast<int>(LimitBound::BestEstimate));
  Bound->addItem(QStringLiteral("adiabatic bound"), static_cast<int>(LimitBound::Adiabatic));
  Bound->addItem(QStringLiteral("barrel bound"), static_cast<int>(LimitBound::Barrel));
  connect(Condition, &QComboBox::currentIndexChanged, this, &TStudyForm::ModeChanged);
  Smallest = new QCheckBox(QStringLiteral("smallest value instead of the largest"));
  Smallest->setObjectName(QStringLiteral("StudySmallest"));
  controls->addWidget(new QLabel(QStringLiteral("Condition:")), row, 0);
  controls->addWidget(Condition, row, 1, 1, 2);
  controls->addWidget(Bound, row, 3);
  controls->addWidget(Smallest, row, 4, 1, 2);
  First.Input->setCurrentIndex(10);  // Output
  First.From->setText(QStringLiteral("100"));
  First.To->setText(QStringLiteral("1000"));
  First.Step->setText(QStringLiteral("10"));
  for (const AxisControls* axis : {&First, &Second}) {
    for (QLineEdit* edit : {axis->From, axis->To, axis->Step, axis->List})
      connect(edit, &QLineEdit::textChanged, this, &TStudyForm::ShowPreviews);
    connect(axis->Input, &QComboBox::currentIndexChanged, this, &TStudyForm::ShowPreviews);
  }

  RunButton = new QPushButton(QStringLiteral("Run"));
  RunButton->setObjectName(QStringLiteral("StudyRunButton"));
  CancelButton = new QPushButton(QStringLiteral("Cancel"));
  CancelButton->setObjectName(QStringLiteral("StudyCancelButton"));
  CancelButton->setEnabled(false);
  Progress = new QProgressBar;
  Progress->setObjectName(QStringLiteral("StudyProgress"));
  Status = new QLabel(QStringLiteral("The cases start from the main window's inputs."));
  Status->setObjectName(QStringLiteral("StudyStatus"));
  Status->setWordWrap(true);
  connect(RunButton, &QPushButton::clicked, this, &TStudyForm::RunClick);
  connect(CancelButton, &QPushButton::clicked, this, &TStudyForm::CancelClick);
  auto* running = new QHBoxLayout;
  running->addWidget(RunButton);
  running->addWidget(CancelButton);
  running->addWidget(Progress, 1);

  Figure = new QComboBox;
  Figure->setObjectName(QStringLiteral("StudyFigure"));
  connect(Figure, &QComboBox::currentIndexChanged, this, [this] {
    ResetChart();
    PlotCases(0);
  });
  ChartView = new QChartView;
  ChartView->setObjectName(QStringLiteral("StudyChart"));
  ChartView->setRenderHint(QPainter::Antialiasing);
  ChartArea = new QWidget;
  auto* chartLayout = new QVBoxLayout(ChartArea);
  chartLayout->setContentsMargins(0, 0, 0, 0);
  auto* figureRow = new QHBoxLayout;
  figureRow->addWidget(new QLabel(QStringLiteral("Chart of:")));
  figureRow->addWidget(Figure, 1);
  chartLayout->addLayout(figureRow);
  chartLayout->addWidget(ChartView, 1);
  LimitText = new QLabel;
  LimitText->setObjectName(QStringLiteral("StudyLimitResult"));
  LimitText->setTextFormat(Qt::RichText);
  LimitText->setWordWrap(true);
  LimitText->setAlignment(Qt::AlignCenter);
  LimitText->setTextInteractionFlags(Qt::TextSelectableByMouse);
  LimitText->hide();
  auto* chartPage = new QWidget;
  auto* pageLayout = new QVBoxLayout(chartPage);
  pageLayout->setContentsMargins(0, 0, 0, 0);
  pageLayout->addWidget(ChartArea, 1);
  pageLayout->addWidget(LimitText, 1);

  TableModel = new StudyTableModel(Finished, this);
  Table = new QTableView;
  Table->setObjectName(QStringLiteral("StudyTable"));
  Table->setModel(TableModel);
  Table->setSelectionBehavior(QAbstractItemView::SelectRows);
  Table->setSelectionMode(QAbstractItemView::SingleSelection);
  Table->verticalHeader()->setVisible(false);
  Table->setWordWrap(false);
  Table->verticalHeader()->setDefaultSectionSize(Table->fontMetrics().height() + 6);
  connect(Table->selectionModel(), &QItemSelectionModel::currentRowChanged, this, [this](const QModelIndex& current) {
    if (current.isValid()) SelectCase(static_cast<std::size_t>(current.row()));
  });

  auto* split = new QSplitter(Qt::Vertical);
  split->addWidget(chartPage);
  split->addWidget(Table);
  // The chart keeps the height at which its longest axis title and its
  // labels stand whole; the table keeps a few lines.
  ChartView->setMinimumHeight(ChartMinimumHeight);
  Table->setMinimumHeight(TableMinimumHeight);
  split->setChildrenCollapsible(false);
  split->setStretchFactor(0, 3);
  split->setStretchFactor(1, 2);
  split->setSizes({400, 220});

  Caption = new QLineEdit;
  Caption->setObjectName(QStringLiteral("StudyCaption"));
  Caption->setPlaceholderText(QStringLiteral("Caption under a saved chart"));
  auto* buttons = new QHBoxLayout;
  const struct {
    const char* Name;
    const char* Text;
    void (TStudyForm::*Click)();
    bool NeedsCase;
  } actions[] = {
      {"StudyExportCsvButton", "Export CSV...", &TStudyForm::ExportCsvClick, false},
      {"StudySavePngButton", "Save Chart as PNG...", &TStudyForm::SaveChartPngClick, false},
      {"StudySaveSvgButton", "Save Chart as SVG...", &TStudyForm::SaveChartSvgClick, false},
      {"StudyShowCaseButton", "Show Case in Results", &TStudyForm::ShowCaseClick, true},
      {"StudyCopyInputsButton", "Copy Inputs to Main Window", &TStudyForm::CopyInputsClick, true},
  };
  for (const auto& action : actions) {
    auto* button = new QPushButton(QString::fromLatin1(action.Text));
    button->setObjectName(QString::fromLatin1(action.Name));
    button->setEnabled(false);
    connect(button, &QPushButton::clicked, this, action.Click);
    buttons->addWidget(button);
    (action.NeedsCase ? CaseActions : Exports).push_back(button);
  }

  auto* layout = new QVBoxLayout(this);
  layout->addLayout(controls);
  layout->addLayout(running);
  layout->addWidget(Status);
  layout->addWidget(split, 1);
  auto* captionRow = new QHBoxLayout;
  captionRow->addWidget(new QLabel(QStringLiteral("Caption:")));
  captionRow->addWidget(Caption, 1);
  layout->addLayout(captionRow);
  layout->addLayout(buttons);

  auto* closeKey = new QShortcut(QKeySequence(Qt::Key_Escape), this);
  connect(closeKey, &QShortcut::activated, this, &TStudyForm::EscapeClick);

  PollTimer = new QTimer(this);
  PollTimer->setInterval(PollMilliseconds);
  connect(PollTimer, &QTimer::timeout, this, &TStudyForm::Poll);
  ModeChanged();
}

TStudyForm::~TStudyForm() = default;  // the job stops and waits for its thread

TStudyForm::AxisControls TStudyForm::BuildAxisRow(const QString& label, bool optional) {
  const QString prefix = optional ? QStringLiteral("StudySecond") : QStringLiteral("StudyFirst");
  AxisControls axis;
  axis.Input = new QComboBox;
  axis.Input->setObjectName(prefix + QStringLiteral("Input"));
  if (optional) axis.Input->addItem(QStringLiteral("%1: none").arg(label), -1);
  for (int input = 0; input < InputCount; ++input)
    axis.Input->addItem(QStringLiteral("%1: %2").arg(label, StudyInputLabel(input)), input);
  // A list of material keys (or files), as --vary Material=LDPE;HDPE takes them.
  axis.Input->addItem(QStringLiteral("%1: %2").arg(label, StudyInputLabel(MaterialAxisInput)), MaterialAxisInput);
  const struct {
    QLineEdit** Edit;
    const char* Name;
    const char* Hint;
  } edits[] = {{&axis.From, "From", "from"}, {&axis.To, "To", "to"}, {&axis.Step, "Step", "step"},
               {&axis.List, "List", "or a list: v1; v2; ..."}};
  for (const auto& edit : edits) {
    *edit.Edit = new QLineEdit;
    (*edit.Edit)->setObjectName(prefix + QString::fromLatin1(edit.Name));
    (*edit.Edit)->setPlaceholderText(QString::fromLatin1(edit.Hint));
  }
  axis.List->setToolTip(QStringLiteral("Values separated by ';' (',' also where the decimal separator is '.')"));
  axis.Preview = new QLabel;
  axis.Preview->setObjectName(prefix + QStringLiteral("Preview"));
  axis.Preview->setWordWrap(true);  // a long list wraps rather than widening the window
  return axis;
}

void TStudyForm::ReadStageInputs() {
  const char separator = MainWindow.DecimalSeparator();
  const MeltTexts texts = MainWindow.StageTexts();
  MeltInputs die;
  const std::optional<std::string> refusal = ConvertMeltInputs(texts, separator, die);
  StageBox->setEnabled(!refusal);
  if (refusal) {
    StageBox->setChecked(false);
    StageBox->setToolTip(QStringLiteral("The die inputs of the results window's tab Pressure and temperature are "
                                        "refused: %1")
                             .arg(QString::fromStdString(*refusal)));
  } else {
    if (!StageTouched) StageBox->setChecked(texts != InitialMeltTexts(separator));
    StageBox->setToolTip(QStringLiteral("Each case also runs the melt-conveying stage with the die inputs of the "
                                        "results window's tab Pressure and temperature"));
  }
  StageBox->setText(QStringLiteral("Melt-conveying stage (die: %1)").arg(QString::fromLatin1(DieModeName(die.DieMode))));
  ModeChanged();
}

void TStudyForm::ModeChanged() {
  const bool finding = Mode->checkedId() == 1;
  First.Step->setEnabled(!finding);
  First.List->setEnabled(!finding);
  Condition->setEnabled(finding);
  Smallest->setEnabled(finding);
  // die-reached judges the stage's margin: only with the stage on.
  const bool stage = StageBox->isChecked();
  auto* conditions = static_cast<QStandardItemModel*>(Condition->model());
  conditions->item(static_cast<int>(LimitCondition::DieReached))->setEnabled(stage);
  if (!stage && Condition->currentData().toInt() == static_cast<int>(LimitCondition::DieReached))
    Condition->setCurrentIndex(static_cast<int>(LimitCondition::Melted));
  Bound->setEnabled(finding && Condition->currentData().toInt() == static_cast<int>(LimitCondition::DieReached));
  First.Input->setToolTip(finding ? QStringLiteral("The input whose limit is searched, from FROM to TO")
                                  : QStringLiteral("The input along the chart's horizontal axis"));
  Second.Input->setToolTip(finding ? QStringLiteral("With Find limit: one search per value of this input")
                                   : QStringLiteral("One curve per value of this input"));
  ShowPreviews();
}

// Each axis's values as the cases will run them, before anything runs; a
// searched input has no list of cases.
void TStudyForm::ShowPreviews() {
  if (!Mode) return;  // still building the controls
  const bool finding = Mode->checkedId() == 1;
  for (const AxisControls* axis : {&First, &Second}) {
    if (!axis->Preview) continue;
    if ((axis == &First && finding) || axis->Input->currentData().toInt() < 0) {
      axis->Preview->clear();
      continue;
    }
    std::string error;
    const std::optional<StudyAxis> parsed = ParseStudyAxis(AxisArgument(*axis), MainWindow.DecimalSeparator(), error);
    axis->Preview->setText(QString::fromStdString(parsed ? StudyAxisPreview(*parsed) : error));
  }
}

std::string TStudyForm::AxisArgument(const AxisControls& axis) const {
  const int input = axis.Input->currentData().toInt();
  const QString list = axis.List->text().trimmed();
  const QString values = !list.isEmpty() && axis.List->isEnabled()
                             ? QString(list).remove(QLatin1Char(' '))
                             : QStringLiteral("%1:%2:%3").arg(axis.From->text().trimmed(), axis.To->text().trimmed(),
                                                               axis.Step->text().trimmed());
  // The batch tool's --vary argument, read by the same code.
  const std::string name = input == MaterialAxisInput ? "Material" : InputNames[static_cast<std::size_t>(input)].Name;
  return name + "=" + values.toStdString();
}

std::optional<StudyAxis> TStudyForm::ReadAxis(const AxisControls& axis) {
  const int input = axis.Input->currentData().toInt();
  std::string error;
  std::optional<StudyAxis> parsed = ParseStudyAxis(AxisArgument(axis), MainWindow.DecimalSeparator(), error);
  if (!parsed) TheDialogs.ShowMessage(QStringLiteral("%1: %2").arg(StudyInputLabel(input), QString::fromStdString(error)));
  return parsed;
}

std::optional<StudyRequest> TStudyForm::ReadRequest() {
  StudyRequest request;
  request.Settings.Base.Texts = MainWindow.FieldTexts();
  request.Settings.Base.UnitIndex = MainWindow.UnitIndex();
  request.Settings.Base.DecimalSeparator = MainWindow.DecimalSeparator();
  // Its warnings count in each case as in a run of it.
  if (const Material* material = MainWindow.ChosenMaterial()) request.Settings.Base.Material = *material;
  request.Settings.Workers = std::max(1u, std::thread::hardware_concurrency());
  const bool finding = Mode->checkedId() == 1;
  // The stage's inputs as the results window holds them now.
  std::optional<MeltTexts> stage;
  MeltInputs die;
  if (StageBox->isChecked()) {
    stage = MainWindow.StageTexts();
    if (const std::optional<std::string> refusal = ConvertMeltInputs(*stage, MainWindow.DecimalSeparator(), die)) {
      TheDialogs.ShowMessage(QStringLiteral("Melt-conveying stage: %1").arg(QString::fromStdString(*refusal)));
      return std::nullopt;
    }
  }
  if (finding) {
    LimitSearch search;
    search.Input = First.Input->currentData().toInt();
    if (search.Input == MaterialAxisInput) {
      TheDialogs.ShowMessage(QStringLiteral("A limit is searched over a number: choose another input than Material."));
      return std::nullopt;
    }
    const std::optional<double> low = ConvertNumber(First.From->text().toStdString(), MainWindow.DecimalSeparator());
    const std::optional<double> high = ConvertNumber(First.To->text().toStdString(), MainWindow.DecimalSeparator());
    if (!low || !high || !(*low < *high)) {
      TheDialogs.ShowMessage(QStringLiteral("%1: FROM and TO are numbers with FROM below TO.").arg(StudyInputLabel(search.Input)));
      return std::nullopt;
    }
    search.Low = *low;
    search.High = *high;
    search.Condition = static_cast<LimitCondition>(Condition->currentData().toInt());
    search.Smallest = Smallest->isChecked();
    if (search.Condition == LimitCondition::Clean && stage) {
      // Clean with the stage on: neither the melting run nor the stage warns.
      search.Stage = true;
      search.Die = die;
      search.DieTexts = *stage;
    }
    if (search.Condition == LimitCondition::DieReached) {
      if (!stage) {
        TheDialogs.ShowMessage(QStringLiteral("die-reached needs the melt-conveying stage: choose a die in the results "
                                              "window's tab Pressure and temperature."));
        return std::nullopt;
      }
      search.Bound = static_cast<LimitBound>(Bound->currentData().toInt());
      search.Die = die;
    }
    // A search runs the melting run alone; the stage judges die-reached, and
    // clean when it is on.
    request.Find = search;
  } else {
    std::optional<StudyAxis> axis = ReadAxis(First);
    if (!axis) return std::nullopt;
    request.Plan.Axes.push_back(std::move(*axis));
    request.Settings.Base.MeltStage = stage.has_value();
    if (stage) request.Settings.Base.Melt = *stage;
  }
  if (Second.Input->currentData().toInt() >= 0) {
    std::optional<StudyAxis> axis = ReadAxis(Second);
    if (!axis) return std::nullopt;
    const int first = First.Input->currentData().toInt();
    if (axis->Input == first) {
      TheDialogs.ShowMessage(QStringLiteral("The second input must be another input than the first."));
      return std::nullopt;
    }
    request.Plan.Axes.push_back(std::move(*axis));
  }
  if (const std::string problem = ResolveMaterialAxes(request.Plan, MainWindow.Materials()); !problem.empty()) {
    TheDialogs.ShowMessage(QStringLiteral("Material: %1").arg(QString::fromStdString(problem)));
    return std::nullopt;
  }
  if (StudyCaseCount(request.Plan) > MaxStudyCases) {
    TheDialogs.ShowMessage(QStringLiteral("The study has more than %1 cases.").arg(MaxStudyCases));
    return std::nullopt;
  }
  return request;
}

void TStudyForm::RunClick() {
  if (Job) return;
  ReadStageInputs();
  std::optional<StudyRequest> request = ReadRequest();
  if (!request) return;
  Finished.clear();
  Selected.reset();
  Job = std::make_unique<StudyJob>(std::move(*request));
  Shown = Job->Request();
  HeaderLine = Job->Header();
  TableModel->Reset(HeaderLine);

  Figure->blockSignals(true);
  Figure->clear();
  FillFigures();
  Figure->blockSignals(false);
  ResetChart();
  ShowSingleLimit();
  if (!Caption->isModified()) Caption->setText(DefaultCaption());  // a caption typed in stays

  Progress->setRange(0, 1000);
  Progress->setValue(0);
  RunButton->setEnabled(false);
  CancelButton->setEnabled(true);
  for (QPushButton* button : Exports) button->setEnabled(false);
  for (QPushButton* button : CaseActions) button->setEnabled(false);
  StartedAt = Seconds();
  Status->setText(QStringLiteral("Running %1 cases on %2 workers...").arg(Job->Planned()).arg(Shown->Settings.Workers));
  PollTimer->start();
}

void TStudyForm::CancelClick() {
  if (Job) Job->Cancel();
}

void TStudyForm::closeEvent(QCloseEvent* event) {
  // A hidden window's study would keep every core busy for nothing.
  CancelClick();
  QWidget::closeEvent(event);
}

void TStudyForm::EscapeClick() {
  if (Job) {
    if (!TheDialogs.Ask(QStringLiteral("A study is running. Cancel it and close the window? The cases finished are kept.")))
      return;
    CancelClick();
  }
  close();
}

void TStudyForm::Poll() {
  if (!Job) return;
  const bool over = Job->Over();  // read first: every case delivered before it is taken below
  std::vector<StudyCaseResult> cases = Job->TakeCases();
  if (!cases.empty()) {
    const std::size_t first = Finished.size();
    std::move(cases.begin(), cases.end(), std::back_inserter(Finished));
    TableModel->Grow();
    PlotCases(first);
  }
  const uint64_t planned = std::max<uint64_t>(Job->Planned(), 1);
  const uint64_t written = Finished.size();
  Progress->setValue(static_cast<int>(written * 1000 / planned));
  const double elapsed = Seconds() - StartedAt;
  if (written > 0 && !over) {
    const auto left = static_cast<long long>((planned - written) * elapsed / written + 0.5);
    Status->setText(QStringLiteral("%1 of %2 cases, about %3:%4 left")
                        .arg(written)
                        .arg(planned)
                        .arg(left / 60)
                        .arg(left % 60, 2, 10, QLatin1Char('0')));
  }
  if (over) Finish();
}

void TStudyForm::Finish() {
  PollTimer->stop();
  const bool limited = Job->LimitReached();
  const bool cancelled = Job->Cancelled() && Finished.size() < Job->Planned();
  const uint64_t planned = Job->Planned();
  Job.reset();
  RunButton->setEnabled(true);
  CancelButton->setEnabled(false);
  for (QPushButton* button : Exports) button->setEnabled(!Finished.empty());
  ShowSingleLimit();
  // Fitting the columns reads every row: only while that is quick.
  if (Finished.size() <= 500) Table->resizeColumnsToContents();
  QString text;
  if (limited) {
    text = QStringLiteral("Stopped: the first %1 of %2 cases are kept, the most this window keeps; "
                          "chung-batch --study runs a study of any size.")
               .arg(Finished.size())
               .arg(planned);
  } else if (cancelled) {
    text = QStringLiteral("Cancelled: the first %1 of %2 cases are kept.").arg(Finished.size()).arg(planned);
  } else if (Shown->Find && Finished.size() == 1) {
    text = ShownText(LimitResultLine(*Shown->Find, *Finished.front().Limit, Shown->Settings.Base.UnitIndex));
  } else {
    std::size_t completed = 0;
    for (const StudyCaseResult& result : Finished) {
      double y = 0;
      completed += CaseValue(result, y);
    }
    text = QStringLiteral("%1 cases, %2 with a value to chart; %3 without (gaps in the curves).")
               .arg(Finished.size())
               .arg(completed)
               .arg(Finished.size() - completed);
  }
  Status->setText(text);
  if (Finished.size() == 1) SelectCase(0);  // a lone search: its run is the one to show
}

std::string TStudyForm::CsvText() const {
  std::string text = HeaderLine;
  for (const StudyCaseResult& result : Finished) text += result.Row;
  return text;
}

void TStudyForm::SelectCase(std::size_t index) {
  if (index >= Finished.size()) return;
  Selected = index;
  const QModelIndex row = TableModel->index(static_cast<int>(index), 0);
  if (Table->currentIndex().row() != row.row()) {
    Table->setCurrentIndex(row);
    Table->scrollTo(row);
  }
  for (QPushButton* button : CaseActions) button->setEnabled(true);
}

RunSetup TStudyForm::CaseSetup(const StudyCaseResult& result) const {
  RunSetup setup = StudyCaseSetup(Shown->Plan, result.Number, Shown->Settings.Base);
  if (result.Limit) setup.Texts[static_cast<std::size_t>(Shown->Find->Input)] = result.Limit->ShownText;
  // The results window runs the stage on the case's run, as on any run.
  setup.MeltStage = false;
  return setup;
}

namespace {

// What the report writers would say: nothing here, a study case writes no report.
class SilentMessages : public UserMessages {
 public:
  void ShowMessage(const std::string&) override {}
};

}  // namespace

void TStudyForm::ShowCaseClick() {
  if (!Selected || !Shown) return;
  const StudyCaseResult& result = Finished[*Selected];
  const RunSetup setup = CaseSetup(result);
  auto run = std::make_shared<RunSnapshot>();
  SilentMessages messages;
  const RunOutcome outcome = RunWithMelt(run->State, setup, messages, ReportWriting::Skip).Outcomes.Run;
  if (outcome.Result != RunResult::Completed) {
    TheDialogs.ShowMessage(QStringLiteral("Case %1: %2").arg(result.Number).arg(ShownText(OutcomeMessage(outcome))));
    return;
  }
  run->Summary = SummarizeRun(run->State);
  for (int i = 0; i < InputCount; ++i) run->FieldTexts[static_cast<std::size_t>(i)] = QString::fromStdString(setup.Texts[static_cast<std::size_t>(i)]);
  run->UnitIndex = setup.UnitIndex;
  run->MaterialName = setup.Material ? QString::fromStdString(MaterialDisplayName(*setup.Material)) : MainWindow.MaterialName();
  if (setup.Material) run->Remarks = MaterialRemarksOf(*setup.Material, setup.Texts, setup.DecimalSeparator);
  run->ReportPath = QDir::current().absoluteFilePath(QStringLiteral("study-case-%1.txt").arg(result.Number));
  run->ReportWritten = false;  // a study case writes no report
  run->Time = QDateTime::currentDateTime();
  MainWindow.ShowInResults(run);
}

void TStudyForm::CopyInputsClick() {
  if (!Selected || !Shown) return;
  // The case's material is chosen in the main window, which then fills the fixed fields.
  const RunSetup setup = CaseSetup(Finished[*Selected]);
  if (setup.Material) MainWindow.ChooseMaterial(*setup.Material);
  const std::vector<int> fixed = MainWindow.SetFieldTexts(setup.Texts);
  if (fixed.empty()) return;
  QStringList names;
  for (int input : fixed) names << StudyInputLabel(input);
  TheDialogs.ShowMessage(QStringLiteral("These inputs are fixed in the main window and keep their values there: %1.")
                             .arg(names.join(QStringLiteral(", "))));
}

QString TStudyForm::DefaultCaption() const {
  if (!Shown) return {};
  QString caption = Figure->currentText();
  if (!Shown->Plan.Axes.empty()) {
    const StudyAxis& x = Shown->Find ? Shown->Plan.Axes.back() : Shown->Plan.Axes.front();
    caption += QStringLiteral(" against ") + StudyInputLabel(x.Input);
  }
  if (!Shown->Find && Shown->Plan.Axes.size() > 1)
    caption += QStringLiteral(", one curve per ") + StudyInputLabel(Shown->Plan.Axes[1].Input);
  if (Shown->Find) {
    caption += QStringLiteral(", where the run ") + Condition->itemText(static_cast<int>(Shown->Find->Condition));
    if (Shown->Find->Condition == LimitCondition::DieReached)
      caption += QStringLiteral(", ") + Bound->itemText(static_cast<int>(Shown->Find->Bound));
  }
  return caption;
}

void TStudyForm::SaveBytes(const QString& caption, const QString& name, const QString& filter, const QByteArray& bytes) {
  const QString path = TheDialogs.ChooseSaveFileName(caption, QDir::current().absoluteFilePath(name), filter);
  if (path.isEmpty()) return;
  const std::string error = ReplaceFileContents(QFile::encodeName(path).toStdString(), std::string_view(bytes.constData(), bytes.size()));
  if (!error.empty()) TheDialogs.ShowMessage(QStringLiteral("Could not write %1: %2").arg(path, QString::fromLocal8Bit(error)));
}

void TStudyForm::ExportCsvClick() {
  if (Finished.empty()) return;
  SaveBytes(QStringLiteral("Export the Study as CSV"), QStringLiteral("study.csv"),
            QStringLiteral("CSV Files (*.csv);;All Files (*)"), QByteArray::fromStdString(CsvText()));
}

namespace {

constexpr int CaptionHeight = 40;

// The chart as shown, with the caption in a strip below it.
void PaintChartWithCaption(QPainter& painter, QChartView* view, const QString& caption) {
  const QRect chart(0, 0, view->width(), view->height());
  painter.fillRect(QRect(0, 0, view->width(), view->height() + CaptionHeight), Qt::white);
  view->render(&painter, chart);
  painter.setPen(Qt::black);
  painter.drawText(QRect(10, view->height(), view->width() - 20, CaptionHeight), Qt::AlignLeft | Qt::AlignVCenter | Qt::TextWordWrap,
                   caption);
}

}  // namespace

void TStudyForm::SaveChartPngClick() {
  if (Finished.empty()) return;
  QImage image(ChartView->width(), ChartView->height() + CaptionHeight, QImage::Format_ARGB32);
  {
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    PaintChartWithCaption(painter, ChartView, Caption->text());
  }
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  image.save(&buffer, "PNG");
  SaveBytes(QStringLiteral("Save the Chart as PNG"), QStringLiteral("study.png"), QStringLiteral("PNG Images (*.png);;All Files (*)"), bytes);
}

void TStudyForm::SaveChartSvgClick() {
  if (Finished.empty()) return;
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  QSvgGenerator svg;
  svg.setOutputDevice(&buffer);
  svg.setSize(QSize(ChartView->width(), ChartView->height() + CaptionHeight));
  svg.setViewBox(QRect(0, 0, ChartView->width(), ChartView->height() + CaptionHeight));
  svg.setTitle(windowTitle());
  svg.setDescription(Caption->text());
  {
    QPainter painter(&svg);
    PaintChartWithCaption(painter, ChartView, Caption->text());
  }
  SaveBytes(QStringLiteral("Save the Chart as SVG"), QStringLiteral("study.svg"), QStringLiteral("SVG Images (*.svg);;All Files (*)"), bytes);
}
