// The window under a German locale, which CTest sets for this program alone:
// Qt takes the locale from the environment when the program starts.

#include <QChartView>
#include <QClipboard>
#include <QFile>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTableView>
#include <QTableWidget>
#include <QTest>

#include "materials/material_library.h"
#include "model/input_fields.h"
#include "ui/materials_dialog/material_editor.h"
#include "ui/materials_dialog/material_view.h"
#include "ui/materials_dialog/materials_form.h"
#include "ui/materials_dialog/viscosity_fit_panel.h"
#include "ui/results_window/pressure_tab.h"
#include "ui/results_window/profile_form.h"
#include "ui/study_window/study_window.h"
#include "ui_test_support.h"

namespace {

using CommaLocaleTest = WindowTest;

TEST_F(CommaLocaleTest, TheInitialTextsRunAsTheyStand) {
  ASSERT_EQ(Window->DecimalSeparator(), ',') << "run with LC_ALL=de_DE.UTF-8";
  EXPECT_EQ(Control<QLineEdit>("Edit26")->text(), "0,00052");
  ClickGo();
  EXPECT_TRUE(Recorder.Messages.empty()) << Recorder.MessageTexts().join('|').toStdString();
  EXPECT_EQ(Recorder.FinishForms.size(), 1u);
}

TEST_F(CommaLocaleTest, NumbersAreReadAndWrittenWithTheComma) {
  ASSERT_EQ(Window->DecimalSeparator(), ',') << "run with LC_ALL=de_DE.UTF-8";
  // Every field, the fixed ones included, with a comma; the first one stays "15.0".
  for (const InputField& field : InputFields) {
    auto* edit = Control<QLineEdit>(field.WindowField);
    edit->setText(edit->text().replace('.', ','));
  }
  Control<QLineEdit>("Edit1")->setText("15.0");
  ClickGo();
  EXPECT_EQ(Recorder.MessageTexts(), QStringList{"Input value is not correct!"});
  EXPECT_TRUE(Recorder.FinishForms.empty());

  Control<QLineEdit>("Edit1")->setText("15,0");
  ClickGo();
  ASSERT_EQ(Recorder.FinishForms.size(), 1u) << Recorder.MessageTexts().join('|').toStdString();
  QFile report(QDir(StartDir()).filePath("result.txt"));
  ASSERT_TRUE(report.open(QIODevice::ReadOnly));
  const QByteArray bytes = report.readAll();
  EXPECT_TRUE(bytes.contains("(cm) =  15,0\r\n"));
  EXPECT_TRUE(bytes.contains("(kW) =  22,5\r\n"));
}

// A list takes ';' between its values; "200,300" is one value here, and the
// window says so before it runs.
TEST_F(CommaLocaleTest, StudyListsSeparateWithTheSemicolon) {
  ASSERT_EQ(Window->DecimalSeparator(), ',') << "run with LC_ALL=de_DE.UTF-8";
  Window->StudyClick();
  auto* form = Control<TStudyForm>("StudyForm");
  auto* list = FindControl<QLineEdit>(form, "StudyFirstList");
  auto* preview = FindControl<QLabel>(form, "StudyFirstPreview");
  EXPECT_EQ(preview->text(), QStringLiteral("91 cases: 100; 110; 120; 130; 140; ...; 1000"));
  list->setText(QStringLiteral("200,300"));
  EXPECT_EQ(preview->text(), QStringLiteral("1 case: 200,300"));
  list->setText(QStringLiteral("200; 300,5"));
  EXPECT_EQ(preview->text(), QStringLiteral("2 cases: 200; 300,5"));
}

// The operating point search reads the run's texts with the comma, and the
// output it finds goes into the field with the comma.
TEST_F(CommaLocaleTest, OperatingPointGoesIntoOutputWithTheComma) {
  ASSERT_EQ(Window->DecimalSeparator(), ',') << "run with LC_ALL=de_DE.UTF-8";
  ClickGo();
  Window->Image1Click();
  auto* tab = Window->findChild<TPressureTab*>();
  ASSERT_NE(tab, nullptr);
  MeltTexts texts = InitialMeltTexts(',');
  texts[DieModeInput] = "Capillary";
  tab->SetTexts(texts);
  ASSERT_NE(tab->Stage(), nullptr);
  QSignalSpy ended(tab, &TPressureTab::SearchEnded);
  FindControl<QPushButton>(tab, "FindOperatingPointButton")->click();
  ASSERT_TRUE(ended.wait(60000));
  FindControl<QPushButton>(tab, "UseBarrelOutputButton")->click();
  const QString output = Control<QLineEdit>("Edit11")->text();
  EXPECT_EQ(output, QStringLiteral("287,071"));
}

// A number written with the point, as files have them, anywhere in the texts.
QStringList WithPoint(const QStringList& texts) {
  static const QRegularExpression point(QStringLiteral("\\d\\.\\d"));
  QStringList found;
  for (const QString& text : texts)
    if (text.contains(point)) found << text;
  return found;
}

QStringList CellTexts(const QAbstractItemModel* table) {
  QStringList texts;
  for (int row = 0; row < table->rowCount(); ++row) {
    for (int column = 0; column < table->columnCount(); ++column) {
      texts << table->data(table->index(row, column)).toString()
            << table->data(table->index(row, column), Qt::ToolTipRole).toString();
    }
  }
  return texts;
}

TEST_F(CommaLocaleTest, EveryNumberTheWindowsShowHasTheComma) {
  ASSERT_EQ(Window->DecimalSeparator(), ',') << "run with LC_ALL=de_DE.UTF-8";
  ClickGo();
  Window->Image1Click();
  auto* results = Control<TProfileForm>("ProfileForm");
  MeltTexts die = InitialMeltTexts(',');
  die[DieModeInput] = "Capillary";
  die[DieDiameterInput] = "0,5";
  die[DieLengthInput] = "2";
  results->findChild<TPressureTab*>()->SetTexts(die);
  FindControl<QPushButton>(results, QStringLiteral("CopyTableButton"))->click();

  Window->StudyClick();
  auto* study = Control<TStudyForm>("StudyForm");
  FindControl<QLineEdit>(study, QStringLiteral("StudyFirstList"))->setText(QStringLiteral("105"));
  study->RunClick();
  while (study->Running()) QTest::qWait(20);

  const struct {
    const char* Where;
    QStringList Texts;
    bool Fractions = true;  // false: only whole numbers are shown there on this run
    int Labels = 0;         // a chart's axis labels, at least
  } shown[] = {
      {"results summary", {FindControl<QLabel>(results, QStringLiteral("SummaryText"))->text()}},
      {"results table", CellTexts(FindControl<QTableWidget>(results, QStringLiteral("ProfileTable"))->model())},
      {"copied table", {QGuiApplication::clipboard()->text()}},
      {"melting chart", ChartTexts(FindControl<QChartView>(results, QStringLiteral("MeltingChart"))), true, 8},
      {"pressure figures", {FindControl<QLabel>(results, QStringLiteral("MeltSummaryText"))->text(),
                            FindControl<QLabel>(results, QStringLiteral("MeltWarningText"))->text()}},
      {"pressure chart", ChartTexts(FindControl<QChartView>(results, QStringLiteral("PressureChart"))), false, 12},
      {"study table", CellTexts(FindControl<QTableView>(study, QStringLiteral("StudyTable"))->model())},
      {"study chart", ChartTexts(FindControl<QChartView>(study, QStringLiteral("StudyChart"))), true, 4},
  };
  static const QRegularExpression comma(QStringLiteral("\\d,\\d"));
  static const QRegularExpression label(QStringLiteral("^-?\\d+(,\\d+)?$"));
  for (const auto& place : shown) {
    EXPECT_GE(place.Texts.filter(label).size(), place.Labels) << place.Where;
    EXPECT_EQ(WithPoint(place.Texts), QStringList()) << place.Where;
    EXPECT_EQ(place.Texts.join(QLatin1Char('|')).contains(comma), place.Fractions) << place.Where;
  }
  // Files keep the point.
  EXPECT_NE(study->CsvText().find("10.949999999999996"), std::string::npos);
}

using CommaLocaleMaterialTest = MaterialFolderTest;

QStringList LineTexts(QWidget* root) {
  QStringList texts;
  for (const QLineEdit* edit : root->findChildren<QLineEdit*>()) texts << edit->text();
  return texts;
}

TEST_F(CommaLocaleMaterialTest, MaterialNumbersAreShownAndReadWithTheComma) {
  ASSERT_EQ(Window->DecimalSeparator(), ',') << "run with LC_ALL=de_DE.UTF-8";
  // Fractions where the built-in records have whole numbers; no free text
  // (sources, notes), whose citations keep their own numbers.
  Material hdpe = *FindMaterial(Window->Materials(), "HDPE");
  hdpe.TypicalBarrelTemp = 212.5;
  hdpe.Fit.Temperature.Low = 133.5;
  hdpe.Sources.clear();
  hdpe.Notes.clear();
  hdpe.Reference.reset();
  Window->ChooseMaterial(hdpe);
  Window->MaterialsClick();
  auto* form = Control<TMaterialsForm>("MaterialsForm");
  ASSERT_TRUE(form->SelectKey(QStringLiteral("HDPE")));
  TMaterialEditor* editor = form->DuplicateClick();
  auto* panel = FindControl<TViscosityFitPanel>(editor, QStringLiteral("ViscosityFitPanel"));
  ASSERT_TRUE(panel->FitClick()) << Recorder.MessageTexts().join('|').toStdString();

  const struct {
    const char* Where;
    QStringList Texts;
    int Labels = 0;  // a chart's axis labels, at least
  } shown[] = {
      {"material facts", {Control<QLabel>("MaterialFacts")->text(), Control<QLabel>("MaterialFacts")->toolTip()}},
      {"record view", {MaterialRecordHtml(hdpe)}},
      {"editor's fields", LineTexts(editor)},
      {"fit figures", {FindControl<QLabel>(panel, QStringLiteral("FitResult"))->text()}},
      {"fit chart", ChartTexts(FindControl<QChartView>(panel, QStringLiteral("FitChart"))), 3},
  };
  static const QRegularExpression comma(QStringLiteral("\\d,\\d"));
  static const QRegularExpression label(QStringLiteral("^-?\\d+(,\\d+)?$"));
  for (const auto& place : shown) {
    EXPECT_GE(place.Texts.filter(label).size(), place.Labels) << place.Where;
    EXPECT_EQ(WithPoint(place.Texts), QStringList()) << place.Where;
    EXPECT_TRUE(place.Texts.join(QLatin1Char('|')).contains(comma)) << place.Where;
  }

  // The editor reads a value typed with the comma; the file keeps the point.
  FindControl<QLineEdit>(editor, QStringLiteral("Value_ViscN"))->setText(QStringLiteral("0,35"));
  ASSERT_TRUE(editor->SaveClick()) << Recorder.MessageTexts().join('|').toStdString();
  QFile file(DataHome.filePath(QStringLiteral("chung/materials/HDPE-copy.json")));
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  const QByteArray text = file.readAll();
  EXPECT_TRUE(text.contains("\"value\": 0.35")) << text.toStdString();
}

}  // namespace
