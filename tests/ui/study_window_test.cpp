// The study window: its file is the batch tool's for the same plan, Cancel
// and closing the window keep the cases written, a plan beyond the cases the
// window keeps stops there, the window's thread stays free while a study
// runs, and a case goes to the results window and the main window's fields.

#include <QCheckBox>
#include <QChart>
#include <QChartView>
#include <QComboBox>
#include <QElapsedTimer>
#include <QGraphicsItem>
#include <QGraphicsScene>
#include <QLabel>
#include <QLineEdit>
#include <QLineSeries>
#include <QPushButton>
#include <QRadioButton>
#include <QScatterSeries>
#include <QStandardItemModel>
#include <QTableView>
#include <QTest>
#include <QTimer>
#include <chrono>
#include <ctime>
#include <thread>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <thread>

#include "cli/batch_run.h"
#include "materials/material_inputs.h"
#include "materials/material_library.h"
#include "results/input_names.h"
#include "ui/results_window/pressure_tab.h"
#include "ui/results_window/profile_form.h"
#include "ui/study_window/study_window.h"
#include "ui_test_support.h"

namespace {

struct StudyControls {
  const char* Mode;  // VaryMode or FindMode
  std::vector<std::pair<const char*, const char*>> Texts;  // line edits
  std::vector<std::pair<const char*, const char*>> Choices;  // combo box: item containing the text
};

class StudyWindowTest : public WindowTest {
 protected:
  TStudyForm* Open() {
    Window->StudyClick();
    return Control<TStudyForm>("StudyForm");
  }
  void Set(TStudyForm* form, const StudyControls& controls) {
    FindControl<QRadioButton>(form, QString::fromLatin1(controls.Mode))->setChecked(true);
    for (const auto& [name, text] : controls.Texts) FindControl<QLineEdit>(form, QString::fromLatin1(name))->setText(QString::fromUtf8(text));
    for (const auto& [name, text] : controls.Choices) {
      auto* box = FindControl<QComboBox>(form, QString::fromLatin1(name));
      const int index = box->findText(QString::fromUtf8(text), Qt::MatchContains);
      ASSERT_GE(index, 0) << text;
      box->setCurrentIndex(index);
    }
  }
  // The die inputs of the results window's tab, then the study window as
  // its opening finds them.
  TStudyForm* OpenWithDie(const MeltTexts& texts) {
    Window->Image1Click();
    Window->findChild<TPressureTab*>()->SetTexts(texts);
    return Open();
  }
  static MeltTexts Capillary(const char* diameter = "0.5") {
    MeltTexts texts = InitialMeltTexts();
    texts[DieModeInput] = "Capillary";
    texts[DieDiameterInput] = diameter;
    texts[DieLengthInput] = "2";
    return texts;
  }
  static void WaitUntilDone(TStudyForm* form) {
    QElapsedTimer waited;
    waited.start();
    while (form->Running() && waited.elapsed() < 120000) QTest::qWait(20);
    ASSERT_FALSE(form->Running());
  }
  // chung-batch's study file for the same plan, from the initial inputs.
  static std::string BatchStudy(std::vector<std::string> args) {
    const std::string file = (std::filesystem::current_path() / "batch-study.csv").string();
    args.insert(args.end(), {"--study", file});
    std::ostringstream out, err;
    EXPECT_EQ(RunBatch(args, out, err, '.'), 0) << err.str();
    std::ifstream in(file, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }
};

TEST_F(StudyWindowTest, ExportIsTheBatchToolsStudyFile) {
  const struct {
    StudyControls Controls;
    std::vector<std::string> Args;
  } cases[] = {
      {{"VaryMode",
        {{"StudyFirstFrom", "200"}, {"StudyFirstTo", "500"}, {"StudyFirstStep", "100"}, {"StudySecondList", "30, 60"}},
        {{"StudyFirstInput", "Output (kg/hr)"}, {"StudySecondInput", "Revolution"}}},
       {"--vary", "OutputRate=200:500:100", "--vary", "ScrewSpeed=30,60"}},
      {{"FindMode",
        {{"StudyFirstFrom", "100"}, {"StudyFirstTo", "1000"}, {"StudySecondList", "30,38"}},
        {{"StudyFirstInput", "Output (kg/hr)"}, {"StudySecondInput", "Revolution"}, {"StudyCondition", "clean"}}},
       {"--find", "OutputRate=100:1000", "--until", "clean", "--vary", "ScrewSpeed=30,38"}},
      {{"VaryMode",
        {{"StudyFirstList", "LDPE; PP"}, {"StudySecondList", "30,60"}},
        {{"StudyFirstInput", "Material"}, {"StudySecondInput", "Revolution"}}},
       {"--vary", "Material=LDPE;PP", "--vary", "ScrewSpeed=30,60"}},
  };
  TStudyForm* form = Open();
  for (const auto& c : cases) {
    Set(form, c.Controls);
    form->RunClick();
    WaitUntilDone(form);
    const std::string expected = BatchStudy(c.Args);
    EXPECT_EQ(form->CsvText(), expected);
    const QString path = QDir::current().absoluteFilePath(QStringLiteral("window-study.csv"));
    Recorder.SaveAnswers.push_back(path);
    form->ExportCsvClick();
    std::ifstream in(path.toStdString(), std::ios::binary);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), expected);
    EXPECT_EQ(FindControl<QTableView>(form, QStringLiteral("StudyTable"))->model()->rowCount(),
              static_cast<int>(form->Cases().size()));
  }
  EXPECT_TRUE(Recorder.Messages.empty());
}

TEST_F(StudyWindowTest, CancelKeepsTheCasesWritten) {
  TStudyForm* form = Open();
  Set(form, {"VaryMode", {{"StudyFirstFrom", "100"}, {"StudyFirstTo", "1000"}, {"StudyFirstStep", "0.01"}}, {}});
  form->RunClick();
  // On every core, as the batch tool without -j.
  const unsigned cores = std::max(1u, std::thread::hardware_concurrency());
  EXPECT_EQ(FindControl<QLabel>(form, QStringLiteral("StudyStatus"))->text(),
            QStringLiteral("Running 90001 cases on %1 workers...").arg(cores));
  QElapsedTimer waited;
  waited.start();
  while (form->Cases().empty() && waited.elapsed() < 60000) QTest::qWait(10);
  form->CancelClick();
  WaitUntilDone(form);
  const std::size_t kept = form->Cases().size();
  ASSERT_GT(kept, 0u);
  ASSERT_LT(kept, 90001u);
  // The same plan cut after the cases kept.
  const std::string last = std::to_string(100 + 0.01 * static_cast<double>(kept - 1));
  EXPECT_EQ(form->CsvText(), BatchStudy({"--vary", "OutputRate=100:" + last + ":0.01"}));
  EXPECT_NE(FindControl<QLabel>(form, QStringLiteral("StudyStatus"))->text().indexOf(QStringLiteral("Cancelled")), -1);
}

TEST_F(StudyWindowTest, StageBoxFollowsTheResultsWindowsDie) {
  const struct {
    MeltTexts Texts;
    bool Enabled, Checked;
  } cases[] = {
      {InitialMeltTexts(), true, false},
      {Capillary(), true, true},
      {Capillary("-1"), false, false},  // refused: the stage can not run
  };
  for (const auto& c : cases) {
    TStudyForm* form = OpenWithDie(c.Texts);
    auto* box = FindControl<QCheckBox>(form, QStringLiteral("StudyMeltStage"));
    EXPECT_EQ(box->isEnabled(), c.Enabled) << c.Texts[DieDiameterInput];
    EXPECT_EQ(box->isChecked(), c.Checked) << c.Texts[DieDiameterInput];
    auto* conditions = static_cast<QStandardItemModel*>(FindControl<QComboBox>(form, QStringLiteral("StudyCondition"))->model());
    EXPECT_EQ(conditions->item(static_cast<int>(LimitCondition::DieReached))->isEnabled(), c.Checked);
  }
}

// The study file with the stage's columns is the batch tool's, and the
// chart's stage figures are the file's columns of the same name.
TEST_F(StudyWindowTest, StageStudyIsTheBatchToolsAndChartsItsColumns) {
  TStudyForm* form = OpenWithDie(Capillary());
  Set(form, {"VaryMode", {{"StudyFirstList", "100, 300, -1"}}, {{"StudyFirstInput", "Output (kg/hr)"}}});
  form->RunClick();
  WaitUntilDone(form);
  const std::string csv = form->CsvText();
  EXPECT_EQ(csv, BatchStudy({"--set", "DieMode=Capillary", "--set", "DieDiameter=0.5", "--set", "DieLength=2",
                             "--vary", "OutputRate=100,300,-1"}));
  auto* table = FindControl<QTableView>(form, QStringLiteral("StudyTable"))->model();
  auto* figures = FindControl<QComboBox>(form, QStringLiteral("StudyFigure"));
  auto* chart = FindControl<QChartView>(form, QStringLiteral("StudyChart"));
  int stageFigures = 0;
  for (int column = 0; column < table->columnCount(); ++column) {
    const QString name = table->headerData(column, Qt::Horizontal).toString();
    if (!name.contains(QStringLiteral("tip")) && !name.contains(QStringLiteral("margin"))) continue;
    const int figure = figures->findText(name);
    ASSERT_GE(figure, 0) << name.toStdString();
    ++stageFigures;
    figures->setCurrentIndex(figure);
    QList<QPointF> points;
    for (QAbstractSeries* series : chart->chart()->series())
      if (auto* line = qobject_cast<QLineSeries*>(series)) points += line->points();
    ASSERT_EQ(points.size(), 2) << name.toStdString();  // the refused case is a gap
    for (int row = 0; row < 2; ++row)
      EXPECT_EQ(points[row].y(), table->data(table->index(row, column), Qt::ToolTipRole).toString().toDouble())
          << name.toStdString();  // the cell's full value
  }
  EXPECT_EQ(stageFigures, 9);
}

TEST_F(StudyWindowTest, FindsWhereTheDieIsReached) {
  const struct {
    const char* Bound;
    std::vector<std::string> BoundArgs;
    double Output;  // kg/hr
  } cases[] = {{"both", {}, 287.07}, {"adiabatic", {"--bound", "Adiabatic"}, 291.51}, {"barrel", {"--bound", "Barrel"}, 287.07},
               {"best estimate", {"--bound", "BestEstimate"}, 293.02}};
  TStudyForm* form = OpenWithDie(Capillary());
  for (const auto& c : cases) {
    Set(form, {"FindMode", {{"StudyFirstFrom", "100"}, {"StudyFirstTo", "1000"}},
               {{"StudyFirstInput", "Output (kg/hr)"}, {"StudyCondition", "die-reached"}, {"StudyBound", c.Bound}}});
    form->RunClick();
    WaitUntilDone(form);
    ASSERT_EQ(form->Cases().size(), 1u);
    ASSERT_TRUE(form->Cases()[0].Limit->Value);
    EXPECT_NEAR(*form->Cases()[0].Limit->Value, c.Output, 0.005) << c.Bound;
    std::vector<std::string> args = {"--find", "OutputRate=100:1000", "--until", "die-reached", "--set", "DieMode=Capillary",
                                     "--set", "DieDiameter=0.5", "--set", "DieLength=2"};
    args.insert(args.end(), c.BoundArgs.begin(), c.BoundArgs.end());
    EXPECT_EQ(form->CsvText(), BatchStudy(args)) << c.Bound;
  }
  EXPECT_TRUE(Recorder.Messages.empty());
}

// With the stage on, clean counts its warnings as chung-batch does, the
// marks count the stage's warnings whatever figure is shown, and solid left
// at the screw end has a mark of its own.
TEST_F(StudyWindowTest, TheStageCountsInCleanAndInTheMarks) {
  TStudyForm* form = OpenWithDie(Capillary());
  ASSERT_TRUE(FindControl<QCheckBox>(form, "StudyMeltStage")->isChecked());
  Set(form, {"FindMode", {{"StudyFirstFrom", "100"}, {"StudyFirstTo", "1000"}},
             {{"StudyFirstInput", "Output (kg/hr)"}, {"StudyCondition", "clean"}}});
  form->RunClick();
  WaitUntilDone(form);
  ASSERT_EQ(form->Cases().size(), 1u);
  ASSERT_TRUE(form->Cases()[0].Limit->Value);
  EXPECT_NEAR(*form->Cases()[0].Limit->Value, 256.18, 0.01);  // 416.2 without the stage
  EXPECT_EQ(form->CsvText(), BatchStudy({"--find", "OutputRate=100:1000", "--until", "clean", "--set", "DieMode=Capillary",
                                         "--set", "DieDiameter=0.5", "--set", "DieLength=2"}));

  // 250: clean; 300: the die is not reached, the melting run has no warning;
  // 900: solid left.
  Set(form, {"VaryMode", {{"StudyFirstList", "250; 300; 900"}}, {}});
  form->RunClick();
  WaitUntilDone(form);
  ASSERT_EQ(form->Cases().size(), 3u);
  EXPECT_TRUE(form->Cases()[1].Summary.Warnings.empty());
  std::map<QString, qsizetype> marks;
  for (QAbstractSeries* series : FindControl<QChartView>(form, QStringLiteral("StudyChart"))->chart()->series()) {
    if (series->type() == QAbstractSeries::SeriesTypeScatter) marks[series->name()] = static_cast<QScatterSeries*>(series)->count();
  }
  EXPECT_EQ(marks[QStringLiteral("with warnings")], 1);
  EXPECT_EQ(marks[QStringLiteral("solid left at the screw end")], 1);
  EXPECT_EQ(marks[QStringLiteral("no value (hover for why)")], 0);
}

// The time this thread spends working, whatever else the machine runs.
double ThreadSeconds() {
  timespec now{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
  return static_cast<double>(now.tv_sec) + 1e-9 * static_cast<double>(now.tv_nsec);
}

// A study that ran on this thread, or a redraw that took every row at once,
// would keep the event loop busy for much of the study. Counted in this
// thread's processor time between two turns of a 5 ms timer, so that a
// loaded machine that merely schedules it late does not count. The 50 ms
// are the shipped build's; code built with AddressSanitizer runs several
// times slower, so that build gets four times the time for the same work.
#if defined(__SANITIZE_ADDRESS__)
constexpr double LongestEventLoopTurn = 0.200;
#else
constexpr double LongestEventLoopTurn = 0.050;
#endif
TEST_F(StudyWindowTest, EventLoopStaysFreeDuringAStudy) {
  TStudyForm* form = Open();
  form->show();
  QTest::qWait(100);  // the window's first paint is not the study's
  Set(form, {"VaryMode", {{"StudyFirstFrom", "200"}, {"StudyFirstTo", "500"}, {"StudyFirstStep", "0.1"}}, {}});
  double longest = 0, last = 0;
  int ticks = 0;
  QTimer ticker;
  ticker.setInterval(5);
  QObject::connect(&ticker, &QTimer::timeout, [&] {
    const double now = ThreadSeconds();
    longest = std::max(longest, now - last);
    last = now;
    ++ticks;
  });
  form->RunClick();
  last = ThreadSeconds();
  ticker.start();
  WaitUntilDone(form);
  ticker.stop();
  EXPECT_EQ(form->Cases().size(), 3001u);
  EXPECT_GT(ticks, 10);
  EXPECT_LT(longest, LongestEventLoopTurn) << ticks << " ticks";
}

TEST_F(StudyWindowTest, ChosenCaseGoesToTheResultsAndTheMainWindow) {
  TStudyForm* form = Open();
  // -1 is refused: a gap; 600 leaves solid at the screw end (and X/W above 1).
  Set(form, {"VaryMode", {{"StudyFirstList", "300, -1; 600"}}, {}});
  // Where the decimal separator is '.', ',' separates too.
  EXPECT_EQ(FindControl<QLabel>(form, "StudyFirstPreview")->text(), QStringLiteral("3 cases: 300; -1; 600"));
  // Nothing to export or show before a study has run.
  for (const char* name : {"StudyShowCaseButton", "StudyCopyInputsButton", "StudySavePngButton"})
    EXPECT_FALSE(FindControl<QPushButton>(form, QString::fromLatin1(name))->isEnabled()) << name;
  form->RunClick();
  WaitUntilDone(form);
  ASSERT_EQ(form->Cases().size(), 3u);
  auto* chart = FindControl<QChartView>(form, QStringLiteral("StudyChart"))->chart();
  int gaps = -1, solid = -1;
  for (QAbstractSeries* series : chart->series()) {
    if (series->name().startsWith(QStringLiteral("no value"))) gaps = static_cast<QScatterSeries*>(series)->count();
    if (series->name().startsWith(QStringLiteral("solid left"))) solid = static_cast<QScatterSeries*>(series)->count();
  }
  EXPECT_EQ(gaps, 1);
  EXPECT_EQ(solid, 1);

  form->SelectCase(2);
  form->ShowCaseClick();
  auto* results = Control<TProfileForm>("ProfileForm");
  ASSERT_NE(results->Run(), nullptr);
  EXPECT_EQ(results->Run()->FieldTexts[10], QStringLiteral("600"));
  EXPECT_FALSE(results->Run()->Summary.Warnings.empty());
  form->CopyInputsClick();
  EXPECT_EQ(Control<QLineEdit>("Edit11")->text(), QStringLiteral("600"));

  form->SelectCase(1);
  form->ShowCaseClick();  // refused: said, not shown
  ASSERT_EQ(Recorder.Messages.size(), 1u);
  EXPECT_TRUE(Recorder.Messages[0].Text.startsWith(QStringLiteral("Case 2: "))) << Recorder.Messages[0].Text.toStdString();
}

// A case shown in the results carries the warnings and note of the material
// the study started with, whatever the main window has chosen since.
TEST_F(StudyWindowTest, ACaseShowsTheWarningsOfItsMaterial) {
  ASSERT_TRUE(Window->ChooseMaterialByKey("LDPE"));
  const Material ldpe = *Window->ChosenMaterial();
  const RunTexts ldpeTexts = Window->FieldTexts();
  Control<QLineEdit>("Edit12")->setText(QStringLiteral("250"));
  TStudyForm* form = Open();
  Set(form, {"VaryMode", {{"StudyFirstList", "200"}}, {{"StudySecondInput", "Second input: none"}}});
  form->RunClick();
  WaitUntilDone(form);
  ASSERT_TRUE(Window->ChooseMaterialByKey(""));
  form->SelectCase(0);
  form->ShowCaseClick();
  const RunSnapshot* run = Control<TProfileForm>("ProfileForm")->Run();
  ASSERT_NE(run, nullptr) << Recorder.MessageTexts().join('\n').toStdString();
  EXPECT_EQ(run->MaterialName.toStdString(), ldpe.Name);
  EXPECT_EQ(run->Remarks.Warnings, MaterialWarnings(ldpe, 250));
  EXPECT_EQ(run->Remarks.Note, MaterialEstimateNote(ldpe));
  // Copying the case's inputs gives the main window the case's material too.
  form->CopyInputsClick();
  ASSERT_NE(Window->ChosenMaterial(), nullptr);
  EXPECT_EQ(Window->ChosenMaterial()->Key, "LDPE");
  for (int k = FirstMaterialInput; k < FirstMaterialInput + MaterialValueCount; ++k)
    EXPECT_EQ(Window->FieldTexts()[static_cast<std::size_t>(k)], ldpeTexts[static_cast<std::size_t>(k)]) << k;
}

TEST_F(StudyWindowTest, AtItsMinimumSizeEveryFiguresChartIsWhole) {
  TStudyForm* form = OpenWithDie(Capillary());
  form->show();
  Set(form, {"VaryMode", {{"StudyFirstList", "300, -1, 600"}}, {}});
  form->RunClick();
  WaitUntilDone(form);
  form->resize(form->minimumSize());
  EXPECT_LE(form->minimumSize().height(), 768 - 40);  // a 1024 x 768 screen, with the frame and a panel
  EXPECT_LE(form->minimumSize().width(), 1024);
  auto* figures = FindControl<QComboBox>(form, QStringLiteral("StudyFigure"));
  auto* view = FindControl<QChartView>(form, QStringLiteral("StudyChart"));
  ASSERT_GT(figures->count(), 10);  // the stage's figures too
  for (int figure = 0; figure < figures->count(); ++figure) {
    figures->setCurrentIndex(figure);
    QTest::qWait(50);
    const QStringList texts = ChartTexts(view);
    EXPECT_TRUE(texts.contains(figures->currentText()));  // the axis title
    for (const QString& text : texts) EXPECT_FALSE(text.contains(QStringLiteral("..."))) << text.toStdString();
  }
}

// The legend's entries as drawn: each label's place in the scene.
std::vector<std::pair<QString, QRectF>> LegendLabels(QChart* chart) {
  std::vector<std::pair<QString, QRectF>> labels;
  for (QGraphicsItem* item : chart->scene()->items()) {
    auto* text = dynamic_cast<QGraphicsTextItem*>(item);
    if (text && text->isVisible() && chart->legend()->isAncestorOf(item))
      labels.emplace_back(text->toPlainText(), text->sceneBoundingRect());
  }
  return labels;
}

// Cases arrive in several batches, the first with warnings in a later one,
// run after run: the legend lays every entry out beside the others.
TEST_F(StudyWindowTest, LegendStaysInOrderRunAfterRun) {
  TStudyForm* form = Open();
  form->show();
  Set(form, {"VaryMode", {{"StudyFirstFrom", "100"}, {"StudyFirstTo", "1000"}, {"StudyFirstStep", "2"}, {"StudySecondList", "30, 60"}},
             {{"StudySecondInput", "Revolution"}}});
  for (int run = 0; run < 2; ++run) {
    form->RunClick();
    WaitUntilDone(form);
    QTest::qWait(50);
    const auto labels = LegendLabels(FindControl<QChartView>(form, QStringLiteral("StudyChart"))->chart());
    QStringList names;
    for (const auto& [name, place] : labels) names << name;
    names.sort();
    EXPECT_EQ(names, (QStringList{"ScrewSpeed = 30 rpm", "ScrewSpeed = 60 rpm", "solid left at the screw end",
                                  "with warnings"}))
        << run;
    for (std::size_t a = 0; a < labels.size(); ++a)
      for (std::size_t b = a + 1; b < labels.size(); ++b)
        EXPECT_FALSE(labels[a].second.intersects(labels[b].second)) << labels[a].first.toStdString() << " over "
                                                                    << labels[b].first.toStdString();
  }
}

TEST_F(StudyWindowTest, CellsAreRoundedWithTheFullValueInTheTooltip) {
  struct Cell {
    const char* Column;
    const char* Shown;
    const char* Full;  // as the study file has it
  };
  const struct {
    StudyControls Controls;
    std::vector<Cell> Cells;
  } studies[] = {
      {{"VaryMode", {{"StudyFirstList", "105"}}, {}},
       {{"case", "1", "1"},
        {"OutputRate (kg/hr)", "105", "105"},
        {"melting end (turns)", "10.95", "10.949999999999996"},
        {"melting end from melting start (cm)", "89.25", "89.25000000000001"}}},
      {{"FindMode", {{"StudyFirstFrom", "100"}, {"StudyFirstTo", "1000"}}, {{"StudyCondition", "clean"}}},
       {{"limit OutputRate (kg/hr)", "416.199", "416.1993844168526"},
        {"limit holds in (kg/hr)", "100 to 414.286", "100 to 414.2857142857143"}}},
  };
  TStudyForm* form = Open();
  for (const auto& study : studies) {
    Set(form, study.Controls);
    form->RunClick();
    WaitUntilDone(form);
    QAbstractItemModel* table = FindControl<QTableView>(form, QStringLiteral("StudyTable"))->model();
    for (const Cell& cell : study.Cells) {
      int column = 0;
      while (column < table->columnCount() && table->headerData(column, Qt::Horizontal).toString() != QLatin1String(cell.Column))
        ++column;
      ASSERT_LT(column, table->columnCount()) << cell.Column;
      EXPECT_EQ(table->data(table->index(0, column)).toString(), QLatin1String(cell.Shown)) << cell.Column;
      EXPECT_EQ(table->data(table->index(0, column), Qt::ToolTipRole).toString(), QLatin1String(cell.Full)) << cell.Column;
      EXPECT_NE(form->CsvText().find(cell.Full), std::string::npos) << cell.Column;  // the export keeps it whole
    }
  }
}

TEST_F(StudyWindowTest, EscapeClosesAskingWhileAStudyRuns) {
  const struct {
    bool Running;
    std::deque<bool> Answers;
    bool Closed;
  } cases[] = {{false, {}, true}, {true, {false}, false}, {true, {true}, true}};
  for (const auto& c : cases) {
    TStudyForm* form = Open();
    form->show();
    form->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(form));
    Set(form, {"VaryMode", {{"StudyFirstFrom", "100"}, {"StudyFirstTo", "1000"}, {"StudyFirstStep", c.Running ? "0.01" : "100"}}, {}});
    form->RunClick();
    if (!c.Running) WaitUntilDone(form);
    Recorder.Questions.clear();
    Recorder.AskAnswers = c.Answers;
    QTest::keyClick(form, Qt::Key_Escape);
    EXPECT_EQ(Recorder.Questions.size(), c.Running ? 1 : 0);
    EXPECT_EQ(form->isVisible(), !c.Closed) << c.Running;
    if (c.Running) {
      if (!c.Closed) form->CancelClick();  // it ran on after No; Yes cancelled it
      WaitUntilDone(form);
      EXPECT_NE(FindControl<QLabel>(form, QStringLiteral("StudyStatus"))->text().indexOf(QStringLiteral("Cancelled")), -1);
    }
    form->close();
  }
}

TEST_F(StudyWindowTest, ASingleLimitIsShownAsANumberWithItsRunAndStatus) {
  TStudyForm* form = Open();
  Set(form, {"FindMode", {{"StudyFirstFrom", "100"}, {"StudyFirstTo", "1000"}},
             {{"StudyFirstInput", "Output (kg/hr)"}, {"StudyCondition", "clean"}}});
  form->show();
  form->RunClick();
  WaitUntilDone(form);
  auto* limit = FindControl<QLabel>(form, QStringLiteral("StudyLimitResult"));
  EXPECT_TRUE(limit->isVisible());
  EXPECT_FALSE(FindControl<QChartView>(form, QStringLiteral("StudyChart"))->isVisible());
  const QString text = limit->text();
  for (const char* part : {"416.199 kg/hr", "largest OutputRate where clean holds", "Found", "case 1", "OutputRate = 416.1993844168526"})
    EXPECT_TRUE(text.contains(QLatin1String(part))) << part << " in " << text.toStdString();
  EXPECT_EQ(limit->toolTip(), QStringLiteral("416.1993844168526 kg/hr"));
  EXPECT_FALSE(FindControl<QPushButton>(form, QStringLiteral("StudySavePngButton"))->isEnabled());
  EXPECT_TRUE(FindControl<QPushButton>(form, QStringLiteral("StudyShowCaseButton"))->isEnabled());

  // With a second input the limits are a curve again.
  Set(form, {"FindMode", {{"StudySecondList", "30, 38"}}, {{"StudySecondInput", "Revolution"}}});
  form->RunClick();
  WaitUntilDone(form);
  EXPECT_FALSE(limit->isVisible());
  EXPECT_TRUE(FindControl<QChartView>(form, QStringLiteral("StudyChart"))->isVisible());
}

TEST(StudyInputLabel, NamesEachUnitOnce) {
  for (int input = 0; input < InputCount; ++input) {
    const std::string unit = InputUnit(input, InitialUnitIndex);
    if (unit == "-") continue;
    // The fields write degrees Celsius as one sign.
    const QString label = StudyInputLabel(input).replace(QChar(0x2103), QStringLiteral("\u00B0C"));
    EXPECT_EQ(label.count(QLatin1Char('(') + QString::fromStdString(unit)), 1) << label.toStdString();
  }
}

}  // namespace

namespace {

// Closing the window (Alt+F4) cancels its study: the job's thread ends, so
// its workers take no more CPU, and the finished cases stay.
TEST_F(StudyWindowTest, ClosingTheWindowStopsItsStudy) {
  TStudyForm* form = Open();
  Set(form, {"VaryMode", {{"StudyFirstFrom", "100"}, {"StudyFirstTo", "1000"}, {"StudyFirstStep", "0.01"}}, {}});
  form->RunClick();
  QElapsedTimer waited;
  waited.start();
  while (form->Cases().empty() && waited.elapsed() < 60000) QTest::qWait(10);
  form->close();
  WaitUntilDone(form);
  EXPECT_FALSE(form->isVisible());
  EXPECT_GT(form->Cases().size(), 0u);
  EXPECT_LT(form->Cases().size(), 90001u);
  EXPECT_NE(FindControl<QLabel>(form, QStringLiteral("StudyStatus"))->text().indexOf(QStringLiteral("Cancelled")), -1);
}

StudySetup SavedStudy(const QString& path) {
  std::string error;
  const std::optional<RunSetup> setup = ReadProjectFile(path.toStdString(), error);
  EXPECT_TRUE(setup) << error;
  return setup ? setup->Study : StudySetup{};
}

// A die-reached search keeps its bound in the project, and brings it back.
TEST_F(StudyWindowTest, ADieReachedSearchKeepsItsBoundInTheProject) {
  TStudyForm* form = OpenWithDie(Capillary());
  const QString project = QDir(StartDir()).filePath(QStringLiteral("bound.chung"));
  const struct {
    const char* Shown;
    const char* Saved;
  } cases[] = {{"adiabatic", "Adiabatic"}, {"best estimate", "BestEstimate"}, {"both", ""}};
  for (const auto& c : cases) {
    Set(form, {"FindMode", {{"StudyFirstFrom", "100"}, {"StudyFirstTo", "1000"}},
               {{"StudyFirstInput", "Output (kg/hr)"}, {"StudyCondition", "die-reached"}, {"StudyBound", c.Shown}}});
    Recorder.SaveAnswers.push_back(project);
    Window->SaveProjectAsClick();
    EXPECT_EQ(SavedStudy(project).Bound, c.Saved) << c.Shown;
  }
  // Opened again, the adiabatic bound is chosen where both were shown.
  std::string error;
  std::optional<RunSetup> setup = ReadProjectFile(project.toStdString(), error);
  ASSERT_TRUE(setup) << error;
  setup->Study.Bound = "Adiabatic";
  ASSERT_EQ(WriteProjectFile(project.toStdString(), *setup), "");
  Recorder.DataFileAnswers.push_back({project});
  Window->OpenProjectClick();
  EXPECT_EQ(FindControl<QComboBox>(form, QStringLiteral("StudyBound"))->currentText(), QStringLiteral("adiabatic bound"));
}

// A project's study setup fills the study window, opened before or after the
// project, and Save Project takes what the window shows.
TEST_F(StudyWindowTest, AProjectsStudySetupFillsTheWindowAndIsSavedFromIt) {
  RunSetup setup = InitialRunSetup();
  // Spaces in the list and a third axis: the window shows two axes and writes
  // lists without spaces, so only an untouched window keeps them.
  setup.Study.Axes = {"ScrewSpeed=20:60:10", "Material=LDPE; HDPE", "FeedDepth=1;2"};
  setup.Study.Tolerance = "0.5";
  const QString project = QDir(StartDir()).filePath(QStringLiteral("study.chung"));
  ASSERT_EQ(WriteProjectFile(project.toStdString(), setup), "");
  Recorder.DataFileAnswers.push_back({project});
  Window->OpenProjectClick();
  TStudyForm* form = Open();
  const auto text = [&](const char* name) { return FindControl<QLineEdit>(form, QString::fromLatin1(name))->text(); };
  const auto input = [&](const char* name) { return FindControl<QComboBox>(form, QString::fromLatin1(name))->currentData().toInt(); };
  EXPECT_TRUE(FindControl<QRadioButton>(form, QStringLiteral("VaryMode"))->isChecked());
  EXPECT_EQ(input("StudyFirstInput"), *FindInputByName("ScrewSpeed"));
  EXPECT_EQ(QStringList({text("StudyFirstFrom"), text("StudyFirstTo"), text("StudyFirstStep"), text("StudyFirstList")}),
            QStringList({"20", "60", "10", ""}));
  EXPECT_EQ(input("StudySecondInput"), MaterialAxisInput);
  EXPECT_EQ(text("StudySecondList"), QStringLiteral("LDPE; HDPE"));
  EXPECT_TRUE(FindControl<QLabel>(form, QStringLiteral("StudyStatus"))->text().contains(QStringLiteral("FeedDepth=1;2")));
  Window->SaveProjectClick();
  const StudySetup same = SavedStudy(project);
  EXPECT_EQ(same.Axes, setup.Study.Axes);
  EXPECT_EQ(same.Tolerance, "0.5");

  // Edited: what the window shows, the third axis left out.
  FindControl<QLineEdit>(form, QStringLiteral("StudyFirstStep"))->setText(QStringLiteral("5"));
  Window->SaveProjectClick();
  EXPECT_EQ(SavedStudy(project).Axes, (std::vector<std::string>{"ScrewSpeed=20:60:5", "Material=LDPE;HDPE"}));

  // Changed in the window: the window's setup, the tolerance kept.
  Set(form, {"FindMode", {{"StudyFirstFrom", "100"}, {"StudyFirstTo", "900"}},
             {{"StudyCondition", "clean"}, {"StudySecondInput", "Second input: none"}}});
  FindControl<QCheckBox>(form, QStringLiteral("StudySmallest"))->setChecked(true);
  Window->SaveProjectClick();
  const StudySetup found = SavedStudy(project);
  EXPECT_EQ(found.Axes, std::vector<std::string>());
  EXPECT_EQ(found.Find, "ScrewSpeed=100:900");
  EXPECT_EQ(found.Until, "clean");
  EXPECT_TRUE(found.Smallest);
  EXPECT_EQ(found.Tolerance, "0.5");

  // Another project opened with the window open: its search replaces what
  // the window shows.
  setup.Study = {{}, "OutputRate=150:450", "melted", false, "", ""};
  ASSERT_EQ(WriteProjectFile(project.toStdString(), setup), "");
  Recorder.DataFileAnswers.push_back({project});
  Set(form, {"VaryMode", {}, {{"StudySecondInput", "Second input: Number of Revolution"}}});
  Window->OpenProjectClick();
  EXPECT_TRUE(FindControl<QRadioButton>(form, QStringLiteral("FindMode"))->isChecked());
  EXPECT_EQ(input("StudyFirstInput"), *FindInputByName("OutputRate"));
  EXPECT_EQ(QStringList({text("StudyFirstFrom"), text("StudyFirstTo")}), QStringList({"150", "450"}));
  EXPECT_EQ(input("StudyCondition"), static_cast<int>(LimitCondition::Melted));
  EXPECT_FALSE(FindControl<QCheckBox>(form, QStringLiteral("StudySmallest"))->isChecked());
  EXPECT_EQ(input("StudySecondInput"), -1);
}

// A plan larger than the cases the window keeps stops at that number, its
// first cases kept; a plan of exactly that many completes.
TEST(StudyJobLimit, StopsAtTheCasesKept) {
  for (const uint64_t planned : {20u, 21u, 100000u}) {
    SCOPED_TRACE(planned);
    StudyRequest request;
    std::string error;
    request.Plan.Axes.push_back(
        *ParseStudyAxis("OutputRate=100:" + std::to_string(100 + planned - 1) + ":1", '.', error));
    request.Settings.Workers = 2;
    request.MaxCases = 20;
    StudyJob job(std::move(request));
    while (!job.Over()) std::this_thread::sleep_for(std::chrono::milliseconds(5));
    EXPECT_EQ(job.LimitReached(), planned > 20);
    EXPECT_EQ(job.Written(), 20u);
    const std::vector<StudyCaseResult> cases = job.TakeCases();
    ASSERT_EQ(cases.size(), 20u);
    EXPECT_EQ(cases.back().Number, 20u);
  }
}

// The main window's material goes into each case as into a single run: above
// LDPE's fit window its warning is the case's, and marks it.
TEST(StudyJobMaterial, TheMaterialsWarningsMarkTheCase) {
  StudyRequest request;
  std::string error;
  request.Plan.Axes.push_back(*ParseStudyAxis("BarrelB0=190;250", '.', error));
  RunSetup& base = request.Settings.Base;
  base.Material = *FindMaterial(LoadMaterialLibrary(), "LDPE");
  ApplyMaterial(*base.Material, base.Texts, base.UnitIndex);
  StudyJob job(std::move(request));
  while (!job.Over()) std::this_thread::sleep_for(std::chrono::milliseconds(5));
  const std::vector<StudyCaseResult> cases = job.TakeCases();
  ASSERT_EQ(cases.size(), 2u);
  EXPECT_EQ(cases[0].Verdict, CaseVerdict::Clean);
  EXPECT_EQ(cases[1].Verdict, CaseVerdict::Warnings);
  ASSERT_FALSE(cases[1].Summary.Warnings.empty());
  EXPECT_NE(cases[1].Summary.Warnings.back().find("outside LDPE's"), std::string::npos);
}

}  // namespace
