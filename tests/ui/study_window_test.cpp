// The study window: its file is the batch tool's for the same plan, Cancel
// keeps the cases written, the window's thread stays free while a study
// runs, and a case goes to the results window and the main window's fields.

#include <QCheckBox>
#include <QChart>
#include <QChartView>
#include <QComboBox>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QLineSeries>
#include <QScatterSeries>
#include <QStandardItemModel>
#include <QTableView>
#include <QTest>
#include <QTimer>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "cli/batch_run.h"
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
      EXPECT_EQ(points[row].y(), table->data(table->index(row, column)).toString().toDouble()) << name.toStdString();
  }
  EXPECT_EQ(stageFigures, 6);
}

TEST_F(StudyWindowTest, FindsWhereTheDieIsReached) {
  const struct {
    const char* Bound;
    std::vector<std::string> BoundArgs;
    double Output;  // kg/hr
  } cases[] = {{"both", {}, 287.07}, {"adiabatic", {"--bound", "Adiabatic"}, 291.51}, {"barrel", {"--bound", "Barrel"}, 287.07}};
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
  // -1 is refused: a gap; 600 melts with X/W above 1: a warning.
  Set(form, {"VaryMode", {{"StudyFirstList", "300, -1, 600"}}, {}});
  form->RunClick();
  WaitUntilDone(form);
  ASSERT_EQ(form->Cases().size(), 3u);
  auto* chart = FindControl<QChartView>(form, QStringLiteral("StudyChart"))->chart();
  int gaps = -1, warnings = -1;
  for (QAbstractSeries* series : chart->series()) {
    if (series->name().startsWith(QStringLiteral("no value"))) gaps = static_cast<QScatterSeries*>(series)->count();
    if (series->name() == QStringLiteral("with warnings")) warnings = static_cast<QScatterSeries*>(series)->count();
  }
  EXPECT_EQ(gaps, 1);
  EXPECT_EQ(warnings, 1);

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

}  // namespace
