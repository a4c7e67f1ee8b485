// What a completed run leaves on screen: the plot in Image1, the results
// window and what its actions write.

#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QTabWidget>
#include <QTableWidget>
#include <QTest>
#include <fstream>
#include <iterator>
#include <utility>
#include <vector>

#include "results/number_text.h"
#include "results/profile_csv.h"
#include "ui/results_window/chart_caption.h"
#include "ui/main_window/file_widgets.h"
#include "ui/common/input_data_file.h"
#include "ui/results_window/profile_form.h"
#include "ui/common/radio_group.h"
#include "ui/results_window/run_facts.h"
#include "ui/common/run_snapshot.h"
#include "ui_test_support.h"

namespace {

class RunMessages : public UserMessages {
 public:
  void ShowMessage(const std::string& text) override { Shown += text; }
  std::string Shown;
};

class ResultsTest : public WindowTest {
 protected:
  void SetText(const char* edit, const QString& text) { Control<QLineEdit>(edit)->setText(text); }
  QImage Picture() { return Control<QLabel>("Image1")->pixmap().toImage(); }
  TProfileForm* Form() { return Control<TProfileForm>("ProfileForm"); }
  QString FormText(const char* label) { return FindControl<QLabel>(Form(), QString::fromLatin1(label))->text(); }
  void Click(const char* button) { QTest::mouseClick(FindControl<QPushButton>(Form(), QString::fromLatin1(button)), Qt::LeftButton); }
  QByteArray Bytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(missing)");
  }
  // Pixels of the warning mark's orange in the picture's top right corner.
  int WarningPixels() {
    const QImage picture = Picture();
    int count = 0;
    for (int y = 0; y < 16; ++y)
      for (int x = picture.width() - 20; x < picture.width(); ++x)
        count += picture.pixelColor(x, y) == QColor(235, 140, 0);
    return count;
  }
};

TEST_F(ResultsTest, Image1PlotsEachCompletedRunAndNothingElse) {
  const QImage artwork = Picture();
  SetText("Edit1", "x");
  ClickGo();  // refused
  EXPECT_EQ(Picture(), artwork);
  EXPECT_EQ(Window->LastRun(), nullptr);

  SetText("Edit1", "15.0");
  ClickGo();
  const QImage plotted = Picture();
  EXPECT_EQ(plotted.size(), artwork.size());
  EXPECT_NE(plotted, artwork);
  EXPECT_EQ(WarningPixels(), 0);
  const RunSnapshot* kept = Window->LastRun();
  ASSERT_NE(kept, nullptr);

  SetText("Edit12", "200");  // the barrel below the melting point: the run fails
  ClickGo();
  EXPECT_EQ(Recorder.MessageTexts().size(), 2);
  EXPECT_EQ(Picture(), plotted);
  EXPECT_EQ(Window->LastRun(), kept);

  // Overfed: another verdict, and the warning mark.
  SetText("Edit12", "290.0");
  SetText("Edit11", "3000");
  ClickGo();
  EXPECT_NE(Picture(), plotted);
  EXPECT_GT(WarningPixels(), 10);
  EXPECT_TRUE(Control<QLabel>("Image1")->toolTip().contains("solid left at the screw end: 76 %"));

  // Nothing opened by itself.
  EXPECT_EQ(Window->findChild<QWidget*>("ProfileForm"), nullptr);
  EXPECT_EQ(Recorder.FinishForms.size(), 2u);
}

TEST_F(ResultsTest, ResultsWindowOpensOnRequestOnceAndFollowsEachRun) {
  ShowAndActivate();
  ClickGo();
  QTest::mouseClick(Control<QLabel>("Image1"), Qt::LeftButton);
  TProfileForm* form = Form();
  EXPECT_TRUE(form->isVisible());
  EXPECT_TRUE(form->isWindow());
  EXPECT_FALSE(form->isModal());
  EXPECT_EQ(form->windowTitle(), "Melting Profile");
  EXPECT_EQ(form->Run(), Window->LastRun());
  EXPECT_TRUE(FormText("SummaryText").contains("Melted at turn 18.7"));
  EXPECT_TRUE(FormText("WarningText").contains("No warnings"));
  EXPECT_EQ(FindControl<QTableWidget>(form, "ProfileTable")->rowCount(), Window->State().Profile.RowCount);

  EXPECT_TRUE(FormText("SummaryText").contains("gf.s/cm2"));
  EXPECT_TRUE(FormText("SummaryText").contains("End of melting</td><td>&nbsp;&nbsp;grid point 197, turn 18.70"));
  EXPECT_FALSE(FormText("SummaryText").contains("Screw end"));
  EXPECT_TRUE(FormText("StatusText").isEmpty());

  // Escape closes it; Ctrl+R in any field of the main window brings back the same window.
  QApplication::setActiveWindow(form);
  ASSERT_TRUE(QTest::qWaitForWindowActive(form));
  QTest::keyClick(form, Qt::Key_Escape);
  EXPECT_FALSE(form->isVisible());
  QApplication::setActiveWindow(Window.get());
  ASSERT_TRUE(QTest::qWaitForWindowActive(Window.get()));
  QTest::keyClick(Control<QLineEdit>("Edit3"), Qt::Key_R, Qt::ControlModifier);
  EXPECT_TRUE(form->isVisible());
  EXPECT_EQ(Window->findChildren<TProfileForm*>().size(), 1);

  // While it is open, a new run replaces what it shows.
  SetText("Edit11", "3000");
  ClickGo();
  EXPECT_EQ(form->Run(), Window->LastRun());
  EXPECT_TRUE(FormText("SummaryText").contains("Solid left at the screw end: 76 %"));
  EXPECT_TRUE(FormText("SummaryText").contains("Screw end</td><td>&nbsp;&nbsp;grid point 257, turn 24.70"));
  EXPECT_FALSE(FormText("SummaryText").contains("End of melting"));
  EXPECT_TRUE(FormText("WarningText").contains("conveying angle is 119"));
  EXPECT_TRUE(FormText("WarningText").contains("Solid is left at the end of the screw"));
  EXPECT_EQ(FindControl<QTableWidget>(form, "ProfileTable")->rowCount(), Window->State().Profile.RowCount);
  // The inputs of the run shown, as typed, with the unit m0 was read in.
  EXPECT_TRUE(FormText("InputsText").contains("3000"));
  EXPECT_TRUE(FormText("InputsText").contains("2.052 gf.s/cm2"));

  // A refused, then a failed run: the last completed run stays, marked with
  // the reason; the next completed run clears the mark.
  SetText("Edit1", "x");
  ClickGo();
  EXPECT_EQ(form->Run(), Window->LastRun());
  EXPECT_TRUE(FormText("StatusText").contains("Not the latest run"));
  EXPECT_TRUE(FormText("StatusText").contains("refused: Input value is not correct!"));
  EXPECT_EQ(form->windowTitle(), "Melting Profile (not the latest run)");
  SetText("Edit1", "15.0");
  SetText("Edit11", "300.0");
  SetText("Edit12", "200");
  ClickGo();
  EXPECT_TRUE(FormText("StatusText").contains("stopped: Floating point invalid operation"));
  EXPECT_TRUE(FormText("SummaryText").contains("Solid left at the screw end: 76 %"));
  SetText("Edit12", "290.0");
  ClickGo();
  EXPECT_TRUE(FormText("StatusText").isEmpty());
  EXPECT_EQ(form->windowTitle(), "Melting Profile");
  EXPECT_TRUE(FormText("SummaryText").contains("Melted at turn 18.7"));
}

TEST_F(ResultsTest, ReportPathIsWhereThatRunWroteAndOpensInTheViewer) {
  ASSERT_TRUE(QDir(StartDir()).mkdir("beta"));
  ASSERT_TRUE(Control<TDirectoryListBox>("DirectoryListBox1")->ChangeDirectory(QDir(StartDir()).filePath("beta")));
  ClickGo();
  const QString first = QDir(StartDir()).filePath("beta/result.txt");
  EXPECT_EQ(Window->LastRun()->ReportPath, first);
  Window->Image1Click();
  EXPECT_TRUE(FormText("ReportText").contains(first));
  Click("OpenReportButton");
  EXPECT_EQ(Recorder.OpenedDocuments, QStringList{first});

  // The refresh after the run made the start-up folder current again.
  ClickGo();
  EXPECT_EQ(Window->LastRun()->ReportPath, QDir(StartDir()).filePath("result.txt"));
  EXPECT_TRUE(FormText("ReportText").contains(QDir(StartDir()).filePath("result.txt")));
}

TEST_F(ResultsTest, ExportedCsvAndCopiedTableAreTheProfileCsvOfTheSameRun) {
  SetText("Edit11", "250");
  SetText("Edit13", "0.05");
  SetText("Edit14", "-0.01");
  Control<TRadioGroup>("RadioGroup1")->SetItemIndex(0);
  ClickGo();
  ASSERT_EQ(Recorder.FinishForms.size(), 1u) << Recorder.MessageTexts().join('|').toStdString();
  Window->Image1Click();

  Click("ExportCsvButton");  // cancelled: nothing written
  const QString path = QDir(StartDir()).filePath("profile export.csv");
  Recorder.SaveAnswers.push_back(path);
  Click("ExportCsvButton");
  ASSERT_EQ(Recorder.SaveRequests.size(), 2u);
  EXPECT_EQ(Recorder.SaveRequests[1].SuggestedPath, QDir(StartDir()).filePath("result.csv"));

  // The same texts through the run command alone.
  RunTexts texts = InitialRunTexts();
  texts[10] = "250";
  texts[12] = "0.05";
  texts[13] = "-0.01";
  texts[InputCount] = QDir(StartDir()).filePath("alone.txt").toStdString();
  auto alone = std::make_unique<ModelState>();
  RunMessages messages;
  ASSERT_EQ(RunCommand(*alone, texts, 0, messages).Result, RunResult::Completed) << messages.Shown;
  const std::string csv = ProfileCsv(*alone);
  EXPECT_EQ(Bytes(path).toStdString(), csv);
  EXPECT_EQ(QDir(StartDir()).entryList({"*.csv"}), QStringList{"profile export.csv"});

  Click("CopyTableButton");
  EXPECT_EQ(QApplication::clipboard()->text(), QString::fromUtf8(csv).replace(',', '\t'));
  // The table rounds for reading what the CSV and the clipboard keep in full.
  const QTableWidget* table = FindControl<QTableWidget>(Form(), "ProfileTable");
  EXPECT_EQ(table->item(2, 1)->text(), "5.20");
  EXPECT_EQ(table->item(2, 1)->toolTip(), QString::fromStdString(RoundTripText(alone->Grid.Flight[2])));
  EXPECT_EQ(table->item(1, 3)->text(), QString::number(alone->Profile.FilmThickness[1], 'f', 4));
}

TEST_F(ResultsTest, ChartsSaveAsPngAndSvgOfTheTabShown) {
  ClickGo();
  Window->Image1Click();
  const QString png = QDir(StartDir()).filePath("chart.png");
  const QString svg = QDir(StartDir()).filePath("chart.svg");
  Recorder.SaveAnswers = {png, svg};
  Click("SavePngButton");
  FindControl<QTabWidget>(Form(), "ProfileCharts")->setCurrentIndex(1);
  Click("SaveSvgButton");
  ASSERT_EQ(Recorder.SaveRequests.size(), 2u);
  EXPECT_EQ(Recorder.SaveRequests[0].SuggestedPath, QDir(StartDir()).filePath("result-melting.png"));
  EXPECT_EQ(Recorder.SaveRequests[1].SuggestedPath, QDir(StartDir()).filePath("result-conditions.svg"));
  // Each carries a caption with the run's key inputs and time below the chart.
  EXPECT_EQ(QImage(png).size(), FindControl<QWidget>(Form(), "MeltingChart")->size() + QSize(0, ChartCaptionHeight));
  const QByteArray drawing = Bytes(svg);
  EXPECT_TRUE(drawing.contains("<svg"));
  EXPECT_TRUE(drawing.contains("Barrel temperature"));
  const QString caption = ChartCaption(*Window->LastRun());
  EXPECT_TRUE(caption.contains("output 300.0 kg/hr"));
  EXPECT_TRUE(caption.contains(Window->LastRun()->Time.toString("yyyy-MM-dd HH:mm:ss")));
  EXPECT_TRUE(drawing.contains(caption.toUtf8()));
}

TEST_F(ResultsTest, SavedInputsReadBackRestoreEveryEditableFieldAndTheUnit) {
  // Texts as a user types them, not as a number prints.
  const std::vector<std::pair<const char*, QString>> typed = {
      {"Edit1", "16.50"}, {"Edit2", "9"},     {"Edit3", "6.5"},   {"Edit4", "8"},     {"Edit5", "4.0"},
      {"Edit6", "1.3"},   {"Edit7", "0.45"},  {"Edit8", "16"},    {"Edit9", "1.4"},   {"Edit10", "40"},
      {"Edit11", "2.8e2"}, {"Edit12", "295"}, {"Edit13", "0.05"}, {"Edit14", "-0.01"}, {"Edit28", "25"},
      {"Edit19", "0.55"}, {"Edit20", "0.9"}};
  for (const auto& [edit, text] : typed) SetText(edit, text);
  Control<TRadioGroup>("RadioGroup1")->SetItemIndex(0);
  ClickGo();
  ASSERT_EQ(Recorder.FinishForms.size(), 1u) << Recorder.MessageTexts().join('|').toStdString();

  // What the fields hold now is not what the run used.
  for (const auto& [edit, text] : typed) SetText(edit, "1");
  Control<TRadioGroup>("RadioGroup1")->SetItemIndex(1);

  Window->Image1Click();
  // A name without an extension gets ".txt".
  const QString path = QDir(StartDir()).filePath("inputs.txt");
  Recorder.SaveAnswers.push_back(QDir(StartDir()).filePath("inputs"));
  Click("SaveInputsButton");
  Recorder.DataFileAnswers.push_back({path});
  Control<QPushButton>("InputDataBtn")->click();
  EXPECT_TRUE(Recorder.Messages.empty()) << Recorder.MessageTexts().join('|').toStdString();
  for (const auto& [edit, text] : typed) EXPECT_EQ(Control<QLineEdit>(edit)->text(), text) << edit;
  EXPECT_EQ(Control<TRadioGroup>("RadioGroup1")->ItemIndex(), 0);
}

TEST(InputDataFile, InitialInputsGiveTheDefaultExample) {
  std::array<std::string, InputCount> values;
  for (int i = 0; i < InputCount; ++i) values[static_cast<size_t>(i)] = InputFields[static_cast<size_t>(i)].InitialText;
  std::ifstream example(CHUNG_EXAMPLES_DIR "/default.txt", std::ios::binary);
  const std::string expected((std::istreambuf_iterator<char>(example)), std::istreambuf_iterator<char>());
  EXPECT_EQ(InputDataFileText(values, InitialUnitIndex), expected);
}

}  // namespace
