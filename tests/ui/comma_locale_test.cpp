// The window under a German locale, which CTest sets for this program alone:
// Qt takes the locale from the environment when the program starts.

#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QSignalSpy>

#include "model/input_fields.h"
#include "ui/results_window/pressure_tab.h"
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
  EXPECT_TRUE(output.startsWith(QStringLiteral("287,"))) << output.toStdString();
  EXPECT_NEAR(QString(output).replace(QLatin1Char(','), QLatin1Char('.')).toDouble(), 287.070954, 1e-6);
}

}  // namespace
