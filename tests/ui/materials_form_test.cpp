// SPDX-License-Identifier: GPL-3.0-or-later
// The materials window and its editor: user materials made, duplicated,
// deleted, imported and exported in a data folder of the test's own; a bad
// field refused by name with nothing written; a datasheet's law fitted.

#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "materials/viscosity_fit.h"
#include "ui/materials_dialog/material_editor.h"
#include "ui/materials_dialog/materials_form.h"
#include "ui/materials_dialog/number_field.h"
#include "ui/materials_dialog/viscosity_fit_panel.h"
#include "ui_test_support.h"

namespace {

class MaterialsFormTest : public MaterialFolderTest {
 protected:
  void SetUp() override {
    MaterialFolderTest::SetUp();
    if (HasFatalFailure()) return;
    Window->MaterialsClick();
    Form = FindControl<TMaterialsForm>(Window.get(), QStringLiteral("MaterialsForm"));
  }
  QStringList UserFiles() const {
    return QDir(DataHome.filePath(QStringLiteral("chung/materials"))).entryList(QDir::Files | QDir::Hidden);
  }
  // A new material with a key and a name; every other field as it starts.
  TMaterialEditor* NewMaterial(const QString& key) {
    TMaterialEditor* editor = Form->NewClick();
    FindControl<QLineEdit>(editor, QStringLiteral("KeyEdit"))->setText(key);
    FindControl<QLineEdit>(editor, QStringLiteral("NameEdit"))->setText(key + QStringLiteral(" of the test"));
    return editor;
  }
  bool Listed(const QString& key) { return Control<QComboBox>("MaterialBox")->findData(key) >= 0; }

  TMaterialsForm* Form = nullptr;
};

struct BadField {
  const char* Field;
  const char* Text;
  const char* Named;  // what the message must name
};

class BadFieldTest : public MaterialsFormTest, public ::testing::WithParamInterface<BadField> {};

TEST_P(BadFieldTest, IsRefusedByNameAndNothingIsWritten) {
  TMaterialEditor* editor = NewMaterial(QStringLiteral("mine"));
  auto* field = FindControl<QLineEdit>(editor, QString::fromLatin1(GetParam().Field));
  field->setText(QString::fromLatin1(GetParam().Text));
  EXPECT_FALSE(editor->SaveClick());
  ASSERT_EQ(Recorder.Messages.size(), 1u);
  EXPECT_TRUE(Recorder.Messages[0].Text.contains(QString::fromLatin1(GetParam().Named)))
      << Recorder.Messages[0].Text.toStdString();
  EXPECT_TRUE(UserFiles().isEmpty());
  EXPECT_TRUE(editor->isVisible());
}

INSTANTIATE_TEST_SUITE_P(
    Editor, BadFieldTest,
    ::testing::Values(BadField{"Value_SolidDensity", "-0.92", "values.SolidDensity"},
                      BadField{"Value_ViscN", "abc", "values.ViscN.value is not a number"},
                      BadField{"Value_MeltConductivity", "nan", "values.MeltConductivity"},
                      BadField{"TypicalBarrelEdit", "100", "typical_barrel_C"},
                      BadField{"FitTHighEdit", "200", "fit.T_range"},
                      BadField{"KeyEdit", "no key", "key"},
                      BadField{"KeyEdit", "LDPE", "key \"LDPE\" is taken"},
                      BadField{"NameEdit", "", "name"}));

TEST_F(MaterialsFormTest, UserMaterialsAreMadeDuplicatedAndDeleted) {
  ASSERT_TRUE(NewMaterial(QStringLiteral("mine"))->SaveClick()) << Recorder.MessageTexts().join('\n').toStdString();
  EXPECT_EQ(UserFiles(), QStringList{QStringLiteral("mine.json")});
  EXPECT_TRUE(Listed(QStringLiteral("mine")));
  ASSERT_EQ(Form->Selected()->Key, "mine");

  ASSERT_TRUE(Form->DuplicateClick()->SaveClick());
  EXPECT_EQ(UserFiles(), (QStringList{QStringLiteral("mine-copy.json"), QStringLiteral("mine.json")}));

  // Chosen in the main window, then deleted: the fields keep its values.
  ASSERT_TRUE(Window->ChooseMaterialByKey("mine-copy"));
  const RunTexts texts = Window->FieldTexts();
  Recorder.AskAnswers = {false, true};
  Form->DeleteClick();
  EXPECT_EQ(UserFiles().size(), 2u);
  Form->DeleteClick();
  EXPECT_EQ(Recorder.Questions.size(), 2u);
  EXPECT_EQ(UserFiles(), QStringList{QStringLiteral("mine.json")});
  EXPECT_EQ(Window->FieldTexts(), texts);
  EXPECT_EQ(Window->ChosenMaterial()->Origin, MaterialOrigin::File);
}

TEST_F(MaterialsFormTest, BuiltInsAreReadOnly) {
  ASSERT_TRUE(Form->SelectKey(QStringLiteral("LDPE")));
  EXPECT_FALSE(FindControl<QPushButton>(Form, QStringLiteral("EditBtn"))->isEnabled());
  EXPECT_FALSE(FindControl<QPushButton>(Form, QStringLiteral("DeleteBtn"))->isEnabled());
  EXPECT_EQ(Form->EditClick(), nullptr);
  ASSERT_EQ(Recorder.Messages.size(), 1u);
  EXPECT_TRUE(Recorder.Messages[0].Text.contains(QStringLiteral("duplicate")));
  Recorder.AskAnswers = {true};
  Form->DeleteClick();
  EXPECT_TRUE(Recorder.Questions.isEmpty());
  EXPECT_TRUE(Listed(QStringLiteral("LDPE")));
}

TEST_F(MaterialsFormTest, ExportedFileImportsAsAUserMaterial) {
  ASSERT_TRUE(Form->SelectKey(QStringLiteral("PP")));
  const QString exported = QDir(StartDir()).filePath(QStringLiteral("pp.json"));
  Recorder.SaveAnswers.push_back(exported);
  Form->ExportClick();
  QFile file(exported);
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  QByteArray text = file.readAll();
  file.close();
  text.replace("\"key\": \"PP\"", "\"key\": \"PP2\"");
  WriteFile(exported, text);

  // A bad file first: refused by its member, nothing written.
  const QString bad = QDir(StartDir()).filePath(QStringLiteral("bad.json"));
  WriteFile(bad, QByteArray(text).replace("\"SolidDensity\": {\n      \"value\": 0.9", "\"SolidDensity\": {\n      \"value\": -0.9"));
  Recorder.DataFileAnswers = {{bad}, {exported}};
  Form->ImportClick();
  ASSERT_EQ(Recorder.Messages.size(), 1u);
  EXPECT_TRUE(Recorder.Messages[0].Text.contains(QStringLiteral("values.SolidDensity"))) << Recorder.Messages[0].Text.toStdString();
  EXPECT_TRUE(UserFiles().isEmpty());

  Form->ImportClick();
  EXPECT_EQ(UserFiles(), QStringList{QStringLiteral("PP2.json")});
  EXPECT_TRUE(Listed(QStringLiteral("PP2")));
}

TEST_F(MaterialsFormTest, ACrossWlfFitFillsTheLawAsTheRecordHoldsIt) {
  ASSERT_TRUE(Form->SelectKey(QStringLiteral("HDPE")));
  const Material record = *Form->Selected();
  ASSERT_TRUE(record.SourceLaw);
  TMaterialEditor* editor = Form->DuplicateClick();
  for (int k = 0; k < 4; ++k)
    FindControl<QLineEdit>(editor, QStringLiteral("Value_%1").arg(QString::fromLatin1(MaterialValueNames[k].Name)))->clear();
  auto* panel = FindControl<TViscosityFitPanel>(editor, QStringLiteral("ViscosityFitPanel"));
  ASSERT_TRUE(panel->FitClick()) << Recorder.MessageTexts().join('\n').toStdString();
  EXPECT_TRUE(FindControl<QLabel>(panel, QStringLiteral("FitResult"))->text().contains(QStringLiteral("rms error")));
  FindControl<QPushButton>(panel, QStringLiteral("UseFitBtn"))->click();
  for (int k = 0; k < 4; ++k) {
    const QString name = QString::fromLatin1(MaterialValueNames[k].Name);
    EXPECT_EQ(FindControl<QLineEdit>(editor, QStringLiteral("Value_") + name)->text(), NumberField(record.Values[k], '.'))
        << name.toStdString();
  }
}

}  // namespace
