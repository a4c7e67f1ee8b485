// The window under a German locale, which CTest sets for this program alone:
// Qt takes the locale from the environment when the program starts.

#include <QChartView>
#include <QClipboard>
#include <QFile>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QRegularExpression>
#include <QTableView>
#include <QTableWidget>
#include <QTest>

#include "model/input_fields.h"
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

}  // namespace
