// The GO button: what the user sees for each outcome of a run, the busy
// cursors while it works, and the file list refresh after a completed run.

#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QTest>

#include "ui/main_window/file_widgets.h"
#include "ui/common/radio_group.h"
#include "ui/common/run_snapshot.h"
#include "ui_test_support.h"

namespace {

class GoTest : public WindowTest {
 protected:
  bool ResultWritten(const QString& folder, const QString& name = "result.txt") {
    return QFile::exists(QDir(folder).filePath(name));
  }
  void SetText(const char* edit, const QString& text) { Control<QLineEdit>(edit)->setText(text); }
};

TEST_F(GoTest, CompletedRunShowsTheDialogThenRefreshesTheFileList) {
  ClickGo();
  EXPECT_TRUE(Recorder.Messages.empty()) << Recorder.MessageTexts().join('|').toStdString();
  ASSERT_EQ(Recorder.FinishForms.size(), 1u);
  // Busy while the dialog is open; the list is refreshed only after it closes.
  EXPECT_TRUE(Recorder.FinishForms[0].Cursors.Busy());
  EXPECT_FALSE(Recorder.FinishForms[0].FileList.contains("result.txt"));
  EXPECT_TRUE(CursorsAreDefault(Window.get(), Control<QPushButton>("BitBtn1")));
  EXPECT_TRUE(ResultWritten(StartDir()));
  EXPECT_EQ(FileListNames(), QStringList{"result.txt"});
  // Every run uses the texts of the fixed fields.
  EXPECT_EQ(Window->State().Inputs.MeltingPoint, 265.0);
  EXPECT_EQ(Window->State().Inputs.ResultFileName, "result.txt");
}

TEST_F(GoTest, EnterInAFieldRunsGoButNotWithAModifier) {
  ShowAndActivate();
  auto* edit1 = Control<QLineEdit>("Edit1");
  QTest::keyClick(edit1, Qt::Key_Return, Qt::ShiftModifier);
  QTest::keyClick(edit1, Qt::Key_Return, Qt::ControlModifier);
  EXPECT_TRUE(Recorder.FinishForms.empty());
  EXPECT_FALSE(ResultWritten(StartDir()));

  QTest::keyClick(edit1, Qt::Key_Return);
  EXPECT_EQ(Recorder.FinishForms.size(), 1u);
  EXPECT_TRUE(ResultWritten(StartDir()));
  QTest::keyClick(Control<QLineEdit>("Edit20"), Qt::Key_Enter, Qt::KeypadModifier);
  EXPECT_EQ(Recorder.FinishForms.size(), 2u);

  // A push button with the focus takes Enter itself.
  auto* read = Control<QPushButton>("InputDataBtn");
  read->setFocus();
  QTest::keyClick(read, Qt::Key_Return);
  EXPECT_EQ(Recorder.FileRequests.size(), 1u);
  EXPECT_EQ(Recorder.FinishForms.size(), 2u);
}

TEST_F(GoTest, AltCClosesTheWindow) {
  ShowAndActivate();
  QTest::keyClick(Control<QLineEdit>("Edit3"), Qt::Key_C, Qt::AltModifier);
  // A mnemonic clicks its button after the button's press animation.
  EXPECT_TRUE(QTest::qWaitFor([&] { return !Window->isVisible(); }, 2000));
  EXPECT_TRUE(Recorder.FinishForms.empty());
}

TEST_F(GoTest, UnitChoiceReachesTheRun) {
  Control<TRadioGroup>("RadioGroup1")->SetItemIndex(0);
  ClickGo();
  ASSERT_EQ(Recorder.FinishForms.size(), 1u);
  EXPECT_EQ(Window->State().ViscousHeatFactor, 2.389e-07);
  Control<TRadioGroup>("RadioGroup1")->SetItemIndex(1);
  ClickGo();
  EXPECT_EQ(Window->State().ViscousHeatFactor, 2.343e-05);
}

struct RefusedCase {
  const char* Edit;
  const char* Text;
  const char* Message;
};

class RefusedRunTest : public GoTest, public ::testing::WithParamInterface<RefusedCase> {};

TEST_P(RefusedRunTest, ShowsTheMessageWhileBusyAndNothingElse) {
  const RefusedCase& refused = GetParam();
  SetText(refused.Edit, QString::fromLatin1(refused.Text));
  WriteFile(QDir(StartDir()).filePath("later.txt"), "x");  // appears only if the list is refreshed

  ClickGo();
  ASSERT_EQ(Recorder.Messages.size(), 1u);
  EXPECT_EQ(Recorder.Messages[0].Text, QString::fromLatin1(refused.Message));
  EXPECT_TRUE(Recorder.Messages[0].Cursors.Busy());
  EXPECT_TRUE(Recorder.FinishForms.empty());
  EXPECT_TRUE(CursorsAreDefault(Window.get(), Control<QPushButton>("BitBtn1")));
  EXPECT_TRUE(FileListNames().isEmpty());
  EXPECT_FALSE(ResultWritten(StartDir()));
}

INSTANTIATE_TEST_SUITE_P(
    Validation, RefusedRunTest,
    ::testing::Values(RefusedCase{"Edit2", "abc", "Input value is not correct!"},
                      RefusedCase{"Edit1", "", "Input value is not correct!"},
                      RefusedCase{"Edit1", "-1", "Value of Screw Diameter is not correct!"},
                      RefusedCase{"Edit19", "1.0001", "Value of Compaction Factor at Inlet is not correct!"},
                      RefusedCase{"Edit29", "", "Save File Name is not correct!"}));

TEST_F(GoTest, RunThatFailsShowsTheErrorWithoutDialogOrRefresh) {
  // A barrel below the melting point: the melting profile can not be computed.
  SetText("Edit12", "200");
  WriteFile(QDir(StartDir()).filePath("later.txt"), "x");
  ClickGo();
  ASSERT_EQ(Recorder.Messages.size(), 1u);
  EXPECT_FALSE(Recorder.Messages[0].Text.isEmpty());
  EXPECT_TRUE(Recorder.Messages[0].Cursors.Busy());
  EXPECT_TRUE(Recorder.FinishForms.empty());
  EXPECT_TRUE(CursorsAreDefault(Window.get(), Control<QPushButton>("BitBtn1")));
  EXPECT_TRUE(FileListNames().isEmpty());
}

TEST_F(GoTest, WriterMessagesDuringTheRunComeWhileBusy) {
  // A result "file" that is a folder can not be opened by the writers.
  ASSERT_TRUE(QDir(StartDir()).mkdir("taken"));
  SetText("Edit29", "taken");
  ClickGo();
  EXPECT_EQ(Recorder.MessageTexts(),
            (QStringList{"File can not open!", "File can not open!", "Can not write result to file"}));
  for (const auto& message : Recorder.Messages) EXPECT_TRUE(message.Cursors.Busy());
  // The writers report for themselves and the run completes, but nothing
  // then says it finished successfully; its figures are kept, marked.
  EXPECT_TRUE(Recorder.FinishForms.empty());
  ASSERT_NE(Window->LastRun(), nullptr);
  EXPECT_FALSE(Window->LastRun()->ReportWritten);
  EXPECT_TRUE(Control<QLabel>("Image1")->toolTip().startsWith("The report was not written"));
  Window->Image1Click();
  EXPECT_TRUE(FindControl<QLabel>(Control<QWidget>("ProfileForm"), "StatusText")->text().contains("Report not written"));
  EXPECT_TRUE(CursorsAreDefault(Window.get(), Control<QPushButton>("BitBtn1")));
}

TEST_F(GoTest, ALaterRunAfterARefusedOneWorks) {
  SetText("Edit1", "x");
  ClickGo();
  SetText("Edit1", "15.0");
  ClickGo();
  EXPECT_EQ(Recorder.Messages.size(), 1u);
  EXPECT_EQ(Recorder.FinishForms.size(), 1u);
  EXPECT_TRUE(ResultWritten(StartDir()));
}

}  // namespace
