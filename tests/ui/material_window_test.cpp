// SPDX-License-Identifier: GPL-3.0-or-later
// The main window's material choice and its project files: what the fields
// show, what the run reads, and a project saved and opened again.

#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QToolButton>

#include "materials/material_inputs.h"
#include "ui/common/radio_group.h"
#include "ui/common/run_snapshot.h"
#include "ui/common/material_text.h"
#include "ui/main_window/profile_picture.h"
#include "ui/results_window/profile_form.h"
#include "ui/results_window/run_facts.h"
#include "ui_test_support.h"

namespace {

const char* const MaterialEdits[MaterialValueCount] = {"Edit15", "Edit16", "Edit17", "Edit18", "Edit21", "Edit22",
                                                       "Edit23", "Edit24", "Edit25", "Edit26", "Edit27"};

QByteArray ReadBytes(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(missing)");
}

class MaterialWindowTest : public MaterialFolderTest {
 protected:
  void Choose(const QString& key) {
    auto* box = Control<QComboBox>("MaterialBox");
    const int index = key.isEmpty() ? 0 : box->findData(key);
    ASSERT_GE(index, 0) << key.toStdString();
    box->setCurrentIndex(index);
    emit box->activated(index);
  }
  QString Text(const char* edit) { return Control<QLineEdit>(edit)->text(); }
  QByteArray RunReport() {
    ClickGo();
    return ReadBytes(QDir(StartDir()).filePath(QStringLiteral("result.txt")));
  }
};

struct ChoiceCase {
  const char* Key;
  int UnitIndex;
};

class MaterialChoiceTest : public MaterialWindowTest, public ::testing::WithParamInterface<ChoiceCase> {};

TEST_P(MaterialChoiceTest, FillsTheFieldsAndTheRunReadsThem) {
  const Material* material = FindMaterial(Window->Materials(), GetParam().Key);
  ASSERT_NE(material, nullptr);
  Control<TRadioGroup>("RadioGroup1")->SetItemIndex(GetParam().UnitIndex);
  Choose(QString::fromLatin1(GetParam().Key));
  const auto texts = MaterialInputTexts(*material, GetParam().UnitIndex);
  for (int k = 0; k < MaterialValueCount; ++k) {
    EXPECT_EQ(Text(MaterialEdits[k]).toStdString(), texts[static_cast<size_t>(k)]) << MaterialEdits[k];
    EXPECT_FALSE(Control<QLineEdit>(MaterialEdits[k])->isEnabled());
  }
  // The line keeps its figures whole; the tooltip says what the melting point is.
  auto* facts = Control<QLabel>("MaterialFacts");
  EXPECT_TRUE(facts->text().startsWith(QString::fromLatin1(GetParam().Key) + ':'));
  EXPECT_FALSE(facts->text().contains(QChar(0x2026))) << facts->text().toStdString();
  EXPECT_TRUE(facts->toolTip().contains(QString::fromStdString(material->MeltingPointKind)));

  Control<QLineEdit>("Edit12")->setText(QString::number(material->TypicalBarrelTemp));
  ClickGo();
  ASSERT_EQ(Recorder.FinishForms.size(), 1u) << Recorder.MessageTexts().join('\n').toStdString();
  const ModelInputs& inputs = Window->State().Inputs;
  EXPECT_EQ(inputs.ViscM0, MaterialM0(*material, GetParam().UnitIndex));
  EXPECT_EQ(inputs.ViscB, material->Value(MaterialValue::ViscB));
  EXPECT_EQ(inputs.HeatOfFusion, material->Value(MaterialValue::HeatOfFusion));
  EXPECT_EQ(inputs.MeltingPoint, material->Value(MaterialValue::MeltingPoint));
  // The results window names the material in its inputs and chart captions.
  const QString name = QString::fromStdString(material->Name);
  EXPECT_TRUE(RunInputsHtml(*Window->LastRun()).contains(name.toHtmlEscaped()));
  EXPECT_TRUE(ChartCaption(*Window->LastRun()).contains(name));
}

INSTANTIATE_TEST_SUITE_P(Library, MaterialChoiceTest,
                         ::testing::Values(ChoiceCase{"LDPE", 1}, ChoiceCase{"PP", 0}, ChoiceCase{"PC", 1}));

struct RemarksCase {
  const char* Key;
  const char* Barrel;
  bool Completes = true;  // a barrel below the melting point refuses the run
};

class MaterialRemarksTest : public MaterialWindowTest, public ::testing::WithParamInterface<RemarksCase> {};

// The warnings and the note chung-batch prints for a material, in its words:
// on the facts line before GO, in the results window and on the picture after.
TEST_P(MaterialRemarksTest, AreShownWhereTheRunsWarningsAre) {
  Choose(QString::fromLatin1(GetParam().Key));
  const Material& material = *Window->ChosenMaterial();
  Control<QLineEdit>("Edit12")->setText(QString::fromLatin1(GetParam().Barrel));
  const std::vector<std::string> warnings = MaterialWarnings(material, std::stod(GetParam().Barrel));
  const std::string note = MaterialEstimateNote(material);

  auto* mark = Control<QLabel>("MaterialWarningMark");
  EXPECT_EQ(mark->isVisibleTo(Window.get()), !warnings.empty());
  for (const std::string& warning : warnings) EXPECT_TRUE(mark->toolTip().contains(QString::fromStdString(warning)));
  if (!GetParam().Completes) return;

  ClickGo();
  ASSERT_EQ(Recorder.FinishForms.size(), 1u) << Recorder.MessageTexts().join('\n').toStdString();
  const RunSnapshot& run = *Window->LastRun();
  EXPECT_EQ(run.Remarks.Warnings, warnings);
  EXPECT_EQ(run.Remarks.Note, note);
  Window->Image1Click();
  const QString shown = FindControl<QLabel>(Window.get(), QStringLiteral("WarningText"))->text();
  for (const std::string& warning : warnings)
    EXPECT_TRUE(shown.contains(QStringLiteral("\u26A0 ") + QString::fromStdString(warning).toHtmlEscaped())) << warning;
  // The note is a note, never counted as a warning.
  EXPECT_EQ(shown.contains(QStringLiteral("Note: ") + QString::fromStdString(note).toHtmlEscaped()), !note.empty());
  EXPECT_EQ(shown.count(QStringLiteral("\u26A0")), static_cast<qsizetype>(run.Summary.Warnings.size() + warnings.size()));
  const QString tip = Control<QLabel>("Image1")->toolTip();
  EXPECT_EQ(tip.contains(QStringLiteral("%1 warning(s)").arg(run.Summary.Warnings.size() + warnings.size())),
            !run.Summary.Warnings.empty() || !warnings.empty());
  EXPECT_EQ(tip.contains(QStringLiteral("Note: ") + QString::fromStdString(note)), !note.empty());

  // The picture's mark stands for the material's warnings too.
  RunSnapshot materialOnly = run;
  materialOnly.Summary.Warnings.clear();
  RunSnapshot none = materialOnly;
  none.Remarks = {};
  const QSize size(300, 200);
  EXPECT_EQ(DrawProfilePicture(materialOnly, size).toImage() != DrawProfilePicture(none, size).toImage(),
            !warnings.empty());
}

INSTANTIATE_TEST_SUITE_P(Barrels, MaterialRemarksTest,
                         ::testing::Values(RemarksCase{"LDPE", "250.0"},  // above the fit window, with a note
                                           RemarksCase{"HDPE", "220.0"},  // suits it, no estimates
                                           RemarksCase{"PP", "160.0", false}));  // below the window and the melting point

// Two user files the library leaves out, there before the window starts.
class LeftOutFilesTest : public MaterialWindowTest {
 protected:
  void SetUp() override {
    const QDir folder(DataHome.filePath(QStringLiteral("chung/materials")));
    ASSERT_TRUE(folder.mkpath(QStringLiteral(".")));
    for (const char* name : {"broken.json", "empty.json"}) {
      QFile file(folder.filePath(QString::fromLatin1(name)));
      ASSERT_TRUE(file.open(QIODevice::WriteOnly));
      file.write(name[0] == 'b' ? "{ \"key\": " : "");
    }
    MaterialWindowTest::SetUp();
  }
};

// Said once on the facts line, never in a box, until a material is chosen.
TEST_F(LeftOutFilesTest, AreNotedOnceOnTheFactsLine) {
  auto* facts = Control<QLabel>("MaterialFacts");
  EXPECT_EQ(facts->text(), QStringLiteral("2 of your material files were left out: see Materials... (Ctrl+M)"));
  for (const char* name : {"broken.json", "empty.json"}) {
    EXPECT_TRUE(facts->toolTip().contains(QString::fromLatin1(name))) << name;
    EXPECT_TRUE(Control<QToolButton>("MaterialsBtn")->toolTip().contains(QString::fromLatin1(name))) << name;
  }
  EXPECT_TRUE(Recorder.Messages.empty());
  Control<TRadioGroup>("RadioGroup1")->SetItemIndex(0);  // the fields refill; the note stays
  EXPECT_TRUE(facts->text().contains(QStringLiteral("left out")));
  Choose(QStringLiteral("PP"));
  EXPECT_TRUE(facts->text().startsWith(QStringLiteral("PP:")));
  Choose(QString());
  EXPECT_EQ(facts->text(), QString::fromLatin1(InitialMaterialFacts));
  EXPECT_TRUE(Control<QToolButton>("MaterialsBtn")->toolTip().startsWith(QStringLiteral("2 of your material files")));
}

TEST_F(MaterialWindowTest, InitialValuesKeepTheRunOfOldInEitherUnit) {
  for (int unit : {1, 0}) {
    SCOPED_TRACE(unit);
    Control<TRadioGroup>("RadioGroup1")->SetItemIndex(unit);
    Choose(QString());
    const QByteArray before = RunReport();
    Choose(QStringLiteral("HDPE"));
    Control<TRadioGroup>("RadioGroup1")->SetItemIndex(1 - unit);
    Control<TRadioGroup>("RadioGroup1")->SetItemIndex(unit);
    Choose(QString());
    for (int k = 0; k < MaterialValueCount; ++k)
      EXPECT_EQ(Text(MaterialEdits[k]).toStdString(), InitialInputText(FirstMaterialInput + k)) << MaterialEdits[k];
    EXPECT_EQ(RunReport(), before);
    EXPECT_EQ(Window->LastRun()->MaterialName, QString::fromLatin1(InitialMaterialName));
  }
}

TEST_F(MaterialWindowTest, ARecordsM0FollowsTheUnit) {
  Choose(QStringLiteral("PMMA"));
  const Material& material = *Window->ChosenMaterial();
  for (int unit : {0, 1}) {
    Control<TRadioGroup>("RadioGroup1")->SetItemIndex(unit);
    EXPECT_EQ(Text("Edit15").toStdString(), MaterialInputTexts(material, unit)[0]) << unit;
  }
}

TEST_F(MaterialWindowTest, AProjectSavedAndOpenedGivesTheSameRun) {
  Control<TRadioGroup>("RadioGroup1")->SetItemIndex(0);
  Choose(QStringLiteral("PP"));
  Control<QLineEdit>("Edit12")->setText(QStringLiteral("230.0"));
  Control<QLineEdit>("Edit10")->setText(QStringLiteral("45.5"));
  const QString project = QDir(StartDir()).filePath(QStringLiteral("pp"));
  Recorder.SaveAnswers.push_back(project);
  Window->SaveProjectAsClick();
  ASSERT_TRUE(QFile::exists(project + QStringLiteral(".chung")));
  const QByteArray saved = RunReport();
  const RunTexts texts = Window->FieldTexts();

  // Everything back to the start, then the project again.
  Choose(QString());
  Control<TRadioGroup>("RadioGroup1")->SetItemIndex(1);
  Control<QLineEdit>("Edit12")->setText(QStringLiteral("290.0"));
  Control<QLineEdit>("Edit10")->setText(QStringLiteral("38.0"));
  Recorder.DataFileAnswers.push_back({project + QStringLiteral(".chung")});
  Window->OpenProjectClick();
  EXPECT_TRUE(Recorder.Messages.empty()) << Recorder.MessageTexts().join('\n').toStdString();
  EXPECT_EQ(Window->FieldTexts(), texts);
  EXPECT_EQ(Window->UnitIndex(), 0);
  ASSERT_NE(Window->ChosenMaterial(), nullptr);
  EXPECT_EQ(Window->ChosenMaterial()->Key, "PP");
  EXPECT_EQ(RunReport(), saved);
}

TEST_F(MaterialWindowTest, AProjectsMaterialValuesWithoutARecordAreRunAsTyped) {
  RunSetup setup = InitialRunSetup();
  setup.Texts[FirstMaterialInput] = "3.5";       // ViscM0, in no unit of its own
  setup.Texts[FirstMaterialInput + 1] = "0.04";  // ViscB
  setup.Texts[FirstMaterialInput + 10] = "250.0";  // MeltingPoint
  const QString project = QDir(StartDir()).filePath(QStringLiteral("values.chung"));
  ASSERT_EQ(WriteProjectFile(project.toStdString(), setup), "");
  Choose(QStringLiteral("LDPE"));
  Recorder.DataFileAnswers.push_back({project});
  Window->OpenProjectClick();
  EXPECT_EQ(Window->ChosenMaterial(), nullptr);
  EXPECT_EQ(Control<QComboBox>("MaterialBox")->currentText(), QString::fromLatin1(ProjectMaterialName));
  Control<TRadioGroup>("RadioGroup1")->SetItemIndex(0);
  for (int k = 0; k < MaterialValueCount; ++k)
    EXPECT_EQ(Text(MaterialEdits[k]).toStdString(), setup.Texts[static_cast<size_t>(FirstMaterialInput + k)]) << k;
  ClickGo();
  ASSERT_EQ(Recorder.FinishForms.size(), 1u) << Recorder.MessageTexts().join('\n').toStdString();
  EXPECT_EQ(Window->State().Inputs.ViscM0, 3.5);
  EXPECT_EQ(Window->State().Inputs.MeltingPoint, 250.0);
}

TEST_F(MaterialWindowTest, AProjectOfANewerVersionKeepsWhatItDoesNotKnow) {
  const QString project = QDir(StartDir()).filePath(QStringLiteral("new.chung"));
  Recorder.SaveAnswers.push_back(project);
  Window->SaveProjectAsClick();
  QByteArray text = ReadBytes(project);
  const int brace = text.indexOf('{');
  ASSERT_GE(brace, 0);
  text.insert(brace + 1, "\"future_member\": {\"x\": 1},");
  WriteFile(project, text);

  Recorder.DataFileAnswers.push_back({project});
  Window->OpenProjectClick();
  ASSERT_EQ(Recorder.Messages.size(), 1u);
  EXPECT_TRUE(Recorder.Messages[0].Text.contains(QStringLiteral("future_member")));
  Window->SaveProjectClick();
  EXPECT_TRUE(ReadBytes(project).contains("future_member"));
}

// A project typed under ',' and saved again from a '.' window says '.' and
// holds its numbers, its study's among them, with '.'.
TEST_F(MaterialWindowTest, AProjectSavedUnderAnotherSeparatorKeepsItsStudyReadable) {
  RunSetup setup = InitialRunSetup(',');
  setup.Study.Axes = {"DieDiameter=0,5;0,8"};
  setup.Study.Tolerance = "0,25";
  const QString project = QDir(StartDir()).filePath(QStringLiteral("comma.chung"));
  ASSERT_EQ(WriteProjectFile(project.toStdString(), setup), "");
  Recorder.DataFileAnswers.push_back({project});
  Window->OpenProjectClick();
  Window->SaveProjectClick();
  std::string error;
  const std::optional<RunSetup> saved = ReadProjectFile(project.toStdString(), error);
  ASSERT_TRUE(saved) << error;
  EXPECT_EQ(saved->DecimalSeparator, '.');
  EXPECT_EQ(saved->Texts[0], "15.0");
  EXPECT_EQ(saved->Study.Axes, std::vector<std::string>{"DieDiameter=0.5;0.8"});
  EXPECT_EQ(saved->Study.Tolerance, "0.25");
}

TEST_F(MaterialWindowTest, ABadProjectIsRefusedAndChangesNothing) {
  const QString project = QDir(StartDir()).filePath(QStringLiteral("bad.chung"));
  WriteFile(project, "{ \"format\": \"chung-project\", ");
  Choose(QStringLiteral("LDPE"));
  const RunTexts texts = Window->FieldTexts();
  Recorder.DataFileAnswers.push_back({project});
  Window->OpenProjectClick();
  ASSERT_EQ(Recorder.Messages.size(), 1u);
  EXPECT_TRUE(Recorder.Messages[0].Text.contains(QStringLiteral("bad.chung"))) << Recorder.Messages[0].Text.toStdString();
  EXPECT_EQ(Window->FieldTexts(), texts);
  EXPECT_EQ(Window->ChosenMaterial()->Key, "LDPE");
}

}  // namespace
