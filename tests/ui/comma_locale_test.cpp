// The window under a German locale, which CTest sets for this program alone:
// Qt takes the locale from the environment when the program starts.

#include <QFile>
#include <QLabel>
#include <QLineEdit>

#include "model/input_fields.h"
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

}  // namespace
