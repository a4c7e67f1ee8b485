#include "ui/results_window/profile_form.h"

#include <QBuffer>
#include <QChart>
#include <QChartView>
#include <QClipboard>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QScrollArea>
#include <QShortcut>
#include <QSplitter>
#include <QSvgGenerator>
#include <QTabWidget>
#include <QTableWidget>
#include <QVBoxLayout>

#include "report/replace_file.h"
#include "results/input_names.h"
#include "results/number_text.h"
#include "results/profile_csv.h"
#include "ui/common/channel_picture.h"
#include "ui/common/dialogs.h"
#include "ui/common/input_data_file.h"
#include "ui/common/shown_numbers.h"
#include "ui/results_window/pressure_tab.h"
#include "ui/results_window/profile_charts.h"
#include "ui/results_window/chart_caption.h"
#include "ui/results_window/profile_table.h"
#include "ui/results_window/run_facts.h"

namespace {

// The CSV's cells: the header line and one line per report row, at full
// precision, as Copy Table puts them on the clipboard.
std::vector<QStringList> CsvCells(const std::string& csv) {
  std::vector<QStringList> lines;
  for (const QString& line : QString::fromUtf8(csv).split(QLatin1Char('\n'), Qt::SkipEmptyParts))
    lines.push_back(line.split(QLatin1Char(',')));
  return lines;
}

// A sentence or figure of results/ as the window shows numbers.
QString Html(const std::string& text) { return ShownText(text).toHtmlEscaped(); }

QString SummaryRow(const QString& name, const QString& value) {
  return QStringLiteral("<tr><td>%1</td><td>&nbsp;&nbsp;%2</td></tr>").arg(name, value);
}

void ReplaceChart(QChartView* view, QChart* chart) {
  QChart* old = view->chart();
  view->setChart(chart);
  delete old;  // the view gives up the old chart without deleting it
}

}  // namespace

TProfileForm::TProfileForm(Dialogs& dialogs, QWidget* parent) : QWidget(parent, Qt::Window), TheDialogs(dialogs) {
  setObjectName(QStringLiteral("ProfileForm"));
  setWindowTitle(QStringLiteral("Melting Profile"));
  setWindowIcon(ChannelIcon());
  // Closing the main window must still end the program while this one is open.
  setAttribute(Qt::WA_QuitOnClose, false);
  resize(1000, 720);  // fits a 1024 x 768 screen

  Charts = new QTabWidget;
  Charts->setObjectName(QStringLiteral("ProfileCharts"));
  MeltingView = new QChartView;
  MeltingView->setObjectName(QStringLiteral("MeltingChart"));
  ConditionsView = new QChartView;
  ConditionsView->setObjectName(QStringLiteral("ConditionsChart"));
  for (QChartView* view : {MeltingView, ConditionsView}) view->setRenderHint(QPainter::Antialiasing);
  Charts->addTab(MeltingView, QStringLiteral("Solid bed: X/W and QS/QT"));
  Charts->addTab(ConditionsView, QStringLiteral("Film, depth and barrel temperature"));

  SummaryText = new QLabel;
  SummaryText->setObjectName(QStringLiteral("SummaryText"));
  WarningText = new QLabel;
  WarningText->setObjectName(QStringLiteral("WarningText"));
  ReportText = new QLabel;
  ReportText->setObjectName(QStringLiteral("ReportText"));
  StatusText = new QLabel;
  StatusText->setObjectName(QStringLiteral("StatusText"));
  InputsText = new QLabel;
  InputsText->setObjectName(QStringLiteral("InputsText"));
  for (QLabel* label : {SummaryText, WarningText, ReportText, StatusText, InputsText}) {
    label->setWordWrap(true);
    label->setTextFormat(Qt::RichText);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  }
  auto* factsPage = new QWidget;
  auto* factsLayout = new QVBoxLayout(factsPage);
  factsLayout->addWidget(StatusText);
  factsLayout->addWidget(SummaryText);
  factsLayout->addWidget(WarningText);
  factsLayout->addWidget(ReportText);
  factsLayout->addWidget(InputsText);
  factsLayout->addStretch(1);
  // Long warnings scroll rather than push the charts aside.
  auto* facts = new QScrollArea;
  facts->setObjectName(QStringLiteral("RunFacts"));
  facts->setWidget(factsPage);
  facts->setWidgetResizable(true);
  facts->setFrameShape(QFrame::NoFrame);
  facts->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  facts->setFixedWidth(380);

  auto* upper = new QWidget;
  auto* upperLayout = new QHBoxLayout(upper);
  upperLayout->setContentsMargins(0, 0, 0, 0);
  upperLayout->addWidget(Charts, 1);
  upperLayout->addWidget(facts);

  Table = new QTableWidget;
  Table->setObjectName(QStringLiteral("ProfileTable"));
  Table->setEditTriggers(QAbstractItemView::NoEditTriggers);
  Table->verticalHeader()->setVisible(false);

  auto* split = new QSplitter(Qt::Vertical);
  split->addWidget(upper);
  split->addWidget(Table);
  split->setStretchFactor(0, 2);
  split->setStretchFactor(1, 1);
  split->setSizes({470, 230});

  auto* buttons = new QHBoxLayout;
  const struct {
    const char* Name;
    const char* Text;
    void (TProfileForm::*Click)();
  } actions[] = {
      {"ExportCsvButton", "Export CSV...", &TProfileForm::ExportCsvClick},
      {"SavePngButton", "Save Chart as PNG...", &TProfileForm::SaveChartPngClick},
      {"SaveSvgButton", "Save Chart as SVG...", &TProfileForm::SaveChartSvgClick},
      {"CopyTableButton", "Copy Table", &TProfileForm::CopyTableClick},
      {"OpenReportButton", "Open Report", &TProfileForm::OpenReportClick},
      {"SaveInputsButton", "Save Inputs As...", &TProfileForm::SaveInputsClick},
  };
  for (const auto& action : actions) {
    auto* button = new QPushButton(QString::fromLatin1(action.Text));
    button->setObjectName(QString::fromLatin1(action.Name));
    connect(button, &QPushButton::clicked, this, action.Click);
    buttons->addWidget(button);
    Actions.push_back(button);
  }
  buttons->addStretch(1);
  auto* study = new QPushButton(QStringLiteral("Study..."));
  study->setObjectName(QStringLiteral("StudyButton"));
  study->setToolTip(QStringLiteral("Vary inputs or find a limit over many runs (Ctrl+T)"));
  connect(study, &QPushButton::clicked, this, &TProfileForm::StudyRequested);
  connect(new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_T), this), &QShortcut::activated, this, &TProfileForm::StudyRequested);
  buttons->addWidget(study);

  Pressure = new TPressureTab;
  Pages = new QTabWidget;
  Pages->setObjectName(QStringLiteral("ResultPages"));
  Pages->addTab(split, QStringLiteral("Melting profile"));
  Pages->addTab(Pressure, QStringLiteral("Pressure and temperature"));

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(Pages, 1);
  layout->addLayout(buttons);

  // Small enough for a 1024 x 768 screen, large enough that no axis title is cut.
  setMinimumSize(980, 640);
  auto* closeKey = new QShortcut(QKeySequence(Qt::Key_Escape), this);
  connect(closeKey, &QShortcut::activated, this, &QWidget::close);

  ShowRun(nullptr);
}

void TProfileForm::SetStaleReason(const QString& reason) {
  StaleReason = reason;
  setWindowTitle(reason.isEmpty() ? QStringLiteral("Melting Profile")
                                  : QStringLiteral("Melting Profile (not the latest run)"));
  StatusText->setText(Shown ? RunStatusHtml(*Shown, StaleReason) : QString());
}

TProfileForm::~TProfileForm() = default;

void TProfileForm::ShowRun(std::shared_ptr<const RunSnapshot> run) {
  Shown = std::move(run);
  for (QPushButton* button : Actions) button->setEnabled(Shown != nullptr);
  ReplaceChart(MeltingView, Shown ? MeltingChart(*Shown) : new QChart);
  ReplaceChart(ConditionsView, Shown ? ConditionsChart(*Shown) : new QChart);
  ShowSummary();
  FillTable();
  Pressure->ShowRun(Shown);
}

void TProfileForm::ShowSummary() {
  StatusText->setText(Shown ? RunStatusHtml(*Shown, StaleReason) : QString());
  InputsText->setText(Shown ? RunInputsHtml(*Shown) : QString());
  if (!Shown) {
    SummaryText->setText(QStringLiteral("<p>No calculation has completed yet. Press <b>GO</b> in the main window; "
                                        "this window then shows the melting profile of each run.</p>"));
    WarningText->clear();
    ReportText->clear();
    return;
  }
  const RunSummary& summary = Shown->Summary;
  QString verdict = Html(SummaryVerdict(summary));
  if (!verdict.isEmpty()) verdict[0] = verdict[0].toUpper();

  QString rows;
  if (summary.EndPoint >= 0) {
    rows += SummaryRow(summary.Melted ? QStringLiteral("End of melting") : QStringLiteral("Screw end"),
                       QStringLiteral("grid point %1, turn %2").arg(summary.EndPoint).arg(Html(FixedText(summary.EndTurns, 2))));
    rows += SummaryRow(QStringLiteral("From where melting starts"), Html(FixedText(summary.EndDistance, 2)) + QStringLiteral(" cm"));
    rows += SummaryRow(QStringLiteral("L/D from the hopper end"), Html(FixedText(summary.EndLengthRatio, 2)));
    rows += SummaryRow(QStringLiteral("Solid left, QS/QT"), Html(FixedText(summary.EndSolidFraction, 4)));
  }
  rows += SummaryRow(QStringLiteral("Motor power for melting"), Html(FixedText(summary.MeltingPower, 4)) + QStringLiteral(" kW"));
  rows += SummaryRow(QStringLiteral("Net melting energy"), Html(FixedText(summary.NetMeltingEnergy, 4)) + QStringLiteral(" kW"));
  rows += SummaryRow(QStringLiteral("Specific melting energy"),
                     Html(FixedText(summary.SpecificEnergy, 4)) + QStringLiteral(" kWh/kg"));
  rows += SummaryRow(QStringLiteral("Viscosity law m0 read in"),
                     QString::fromStdString(ViscosityUnitName(Shown->UnitIndex)).toHtmlEscaped());
  rows += SummaryRow(QStringLiteral("Solid conveying angle"),
                     Html(AngleDegreesText(summary.ConveyingAngleDegrees)) + QStringLiteral("\u00B0"));
  SummaryText->setText(QStringLiteral("<p style='font-size:large'><b>%1</b></p><table>%2</table>"
                                      "<p><small>X/W: width of the solid bed over the width of the channel. "
                                      "QS/QT: solid flow over the total flow.</small></p>")
                           .arg(verdict, rows));

  // The material's warnings follow the run's, its note comes last, as
  // chung-batch prints them.
  QString warnings;
  for (const auto* list : {&summary.Warnings, &Shown->Remarks.Warnings}) {
    for (const std::string& warning : *list)
      warnings += QStringLiteral("<p style='color:#a04000'>\u26A0 %1</p>").arg(Html(warning));
  }
  if (warnings.isEmpty())
    warnings = QStringLiteral("<p style='color:#1a6e1a'>No warnings: the result lies within what the model describes.</p>");
  if (!Shown->Remarks.Note.empty())
    warnings += QStringLiteral("<p style='color:#404040'>\u2139 Note: %1</p>").arg(Html(Shown->Remarks.Note));
  WarningText->setText(warnings);

  QString report = QStringLiteral("<p><b>Report:</b> %1").arg(Shown->ReportPath.toHtmlEscaped());
  if (!Shown->ReportWritten) report += QStringLiteral(" (not written: see the messages of the run)");
  report += QStringLiteral("<br><b>Run at:</b> %1</p>").arg(Shown->Time.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")));
  ReportText->setText(report);
}

void TProfileForm::FillTable() {
  FillProfileTable(Table, Shown ? ProfileCsv(Shown->State) : std::string());
}

QString TProfileForm::SuggestedPath(const QString& suffix) const {
  const QFileInfo report(Shown->ReportPath);
  return report.absoluteDir().filePath(report.completeBaseName() + suffix);
}

QChartView* TProfileForm::CurrentChart() const {
  if (Pages->currentWidget() == Pressure) return Pressure->findChild<QChartView*>(QStringLiteral("PressureChart"));
  return Charts->currentWidget() == ConditionsView ? ConditionsView : MeltingView;
}

void TProfileForm::SaveBytes(const QString& caption, const QString& suffix, const QString& filter, const QByteArray& bytes) {
  QString path = TheDialogs.ChooseSaveFileName(caption, SuggestedPath(suffix), filter);
  if (path.isEmpty()) return;
  if (QFileInfo(path).suffix().isEmpty()) path += suffix.mid(suffix.lastIndexOf(QLatin1Char('.')));
  const std::string error = ReplaceFileContents(QFile::encodeName(path).toStdString(), std::string_view(bytes.constData(), bytes.size()));
  if (!error.empty())
    TheDialogs.ShowMessage(QStringLiteral("Could not write %1: %2").arg(path, QString::fromLocal8Bit(error)));
}

void TProfileForm::ExportCsvClick() {
  if (!Shown) return;
  const std::string csv = ProfileCsv(Shown->State);
  SaveBytes(QStringLiteral("Export the Profile as CSV"), QStringLiteral(".csv"),
            QStringLiteral("CSV Files (*.csv);;All Files (*)"), QByteArray::fromStdString(csv));
}

void TProfileForm::SaveChartPngClick() {
  if (!Shown) return;
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  CaptionedChartImage(CurrentChart(), ChartCaption(*Shown)).save(&buffer, "PNG");
  const QString suffix = CurrentChart() == MeltingView ? QStringLiteral("-melting.png")
                        : CurrentChart() == ConditionsView ? QStringLiteral("-conditions.png")
                                                           : QStringLiteral("-pressure.png");
  SaveBytes(QStringLiteral("Save the Chart as PNG"), suffix, QStringLiteral("PNG Images (*.png);;All Files (*)"), bytes);
}

void TProfileForm::SaveChartSvgClick() {
  if (!Shown) return;
  QChartView* view = CurrentChart();
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  QSvgGenerator svg;
  svg.setOutputDevice(&buffer);
  const QSize size(view->width(), view->height() + ChartCaptionHeight);
  svg.setSize(size);
  svg.setViewBox(QRect(QPoint(0, 0), size));
  svg.setTitle(windowTitle());
  svg.setDescription(Charts->tabText(Charts->currentIndex()) + QStringLiteral(". ") + ChartCaption(*Shown));
  {
    QPainter painter(&svg);
    PaintCaptionedChart(painter, view, ChartCaption(*Shown));
  }
  const QString suffix = view == MeltingView      ? QStringLiteral("-melting.svg")
                         : view == ConditionsView ? QStringLiteral("-conditions.svg")
                                                  : QStringLiteral("-pressure.svg");
  SaveBytes(QStringLiteral("Save the Chart as SVG"), suffix, QStringLiteral("SVG Images (*.svg);;All Files (*)"), bytes);
}

void TProfileForm::CopyTableClick() {
  if (!Shown) return;
  QString tsv;
  for (const QStringList& line : CsvCells(ProfileCsv(Shown->State))) tsv += line.join(QLatin1Char('\t')) + QLatin1Char('\n');
  // Full precision for a spreadsheet of the user's own locale, which reads
  // "18.7" under a comma locale as a date, not a number.
  QGuiApplication::clipboard()->setText(ShownText(tsv.toStdString()));
}

void TProfileForm::OpenReportClick() {
  if (!Shown) return;
  if (!QFileInfo(Shown->ReportPath).isFile()) {
    TheDialogs.ShowMessage(QStringLiteral("The report %1 is not there.").arg(Shown->ReportPath));
    return;
  }
  if (!TheDialogs.OpenDocument(Shown->ReportPath))
    TheDialogs.ShowMessage(QStringLiteral("No viewer could open the report %1.").arg(Shown->ReportPath));
}

void TProfileForm::SaveInputsClick() {
  if (!Shown) return;
  std::array<std::string, InputCount> values;
  // The loader reads the file as bytes in the system's encoding.
  for (int i = 0; i < InputCount; ++i) values[static_cast<size_t>(i)] = Shown->FieldTexts[static_cast<size_t>(i)].toLocal8Bit().toStdString();
  SaveBytes(QStringLiteral("Save the Inputs of this Run As"), QStringLiteral("-inputs.txt"),
            QString::fromLatin1(DataFileFilter),
            QByteArray::fromStdString(InputDataFileText(values, Shown->UnitIndex, Pressure->Texts())));
}
