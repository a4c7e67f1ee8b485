// SPDX-License-Identifier: GPL-3.0-or-later
// Open Project and Save Project: the window's fields, unit, material and die
// inputs as one project file, beside the 29-line data file, which can not
// hold a material.

#include <QAction>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QMenu>
#include <QToolButton>

#include "ui/common/dialogs.h"
#include "ui/common/radio_group.h"
#include "ui/main_window/file_widgets.h"
#include "ui/main_window/main_window.h"
#include "ui/results_window/pressure_tab.h"
#include "ui/results_window/profile_form.h"
#include "ui/study_window/study_window.h"

namespace {

const char* const ProjectFileFilter = "Chung Projects (*.chung);;All Files (*)";

}  // namespace

void TMF_Tad::BuildProjectMenu() {
  Project = InitialRunSetup(Separator);
  auto* menu = new QMenu(this);
  menu->setObjectName(QStringLiteral("ProjectMenu"));
  const struct {
    const char* Name;
    const char* Text;
    QKeySequence Keys;
    void (TMF_Tad::*Handler)();
  } commands[] = {
      {"OpenProjectAction", "&Open Project...", QKeySequence(Qt::CTRL | Qt::Key_O), &TMF_Tad::OpenProjectClick},
      {"SaveProjectAction", "&Save Project", QKeySequence(Qt::CTRL | Qt::Key_S), &TMF_Tad::SaveProjectClick},
      {"SaveProjectAsAction", "Save Project &As...", QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S),
       &TMF_Tad::SaveProjectAsClick},
      {"MaterialsAction", "&Materials...", QKeySequence(Qt::CTRL | Qt::Key_M), &TMF_Tad::MaterialsClick},
  };
  for (const auto& command : commands) {
    auto* action = new QAction(QString::fromLatin1(command.Text), this);
    action->setObjectName(QString::fromLatin1(command.Name));
    action->setShortcut(command.Keys);
    action->setShortcutContext(Qt::WindowShortcut);
    connect(action, &QAction::triggered, this, [this, handler = command.Handler] { (this->*handler)(); });
    // On the window, so that the keys work while the menu is closed.
    addAction(action);
    menu->addAction(action);
  }
  ProjectBtn = new QToolButton(this);
  ProjectBtn->setObjectName(QStringLiteral("ProjectBtn"));
  ProjectBtn->setText(QStringLiteral("Project"));
  ProjectBtn->setMenu(menu);
  ProjectBtn->setPopupMode(QToolButton::InstantPopup);
  ProjectBtn->setFocusPolicy(Qt::ClickFocus);
  ProjectBtn->setGeometry(557, 484, 117, 18);
}

RunSetup TMF_Tad::FieldsSetup() const {
  RunSetup setup = InitialRunSetup(Separator);
  setup.Texts = FieldTexts();
  setup.UnitIndex = UnitIndex();
  setup.Material = Chosen;
  setup.Melt = StageTexts();
  return setup;
}

RunSetup TMF_Tad::CurrentSetup() const {
  const RunSetup fields = FieldsSetup();
  // The project as read, so that what a newer version wrote goes back out.
  RunSetup setup = Project;
  setup.Texts = fields.Texts;
  setup.Texts[InputCount] = Edit29->text().toStdString();
  setup.UnitIndex = fields.UnitIndex;
  setup.DecimalSeparator = fields.DecimalSeparator;
  setup.Material = fields.Material;
  setup.Melt = fields.Melt;
  // The study window's setup once it has been opened; the project's until
  // then, in the separator the file now says.
  setup.Study = StudyForm ? StudyForm->CurrentStudySetup(SetupStudy(Project, Separator).Tolerance)
                          : SetupStudy(Project, Separator);
  return setup;
}

void TMF_Tad::ApplySetup(const RunSetup& setup) {
  Project = setup;
  const RunTexts texts = SetupTexts(setup, Separator);
  // The unit first: m0 of a record follows it.
  RadioGroup1->SetItemIndex(setup.UnitIndex == 0 ? 0 : 1);
  for (int i = 0; i < InputCount; ++i) {
    QLineEdit* edit = InputEdits[static_cast<size_t>(i)];
    if (edit->isEnabled()) edit->setText(QString::fromStdString(texts[static_cast<size_t>(i)]));
  }
  Edit29->setText(QString::fromStdString(texts[InputCount]));

  ProjectMaterialTexts.reset();
  if (setup.Material) {
    Material material = *setup.Material;
    material.Origin = MaterialOrigin::File;
    material.Path = ProjectPath;
    // The library's record when it is the same one, so the list shows it chosen.
    const Material* known = FindMaterial(Library, material.Key);
    if (known && MaterialJson(*known) == MaterialJson(material)) material = *known;
    ChooseMaterial(material);
  } else {
    std::array<std::string, MaterialValueCount> values;
    bool initial = true;
    for (int k = 0; k < MaterialValueCount; ++k) {
      values[static_cast<size_t>(k)] = texts[static_cast<size_t>(FirstMaterialInput + k)];
      initial = initial && values[static_cast<size_t>(k)] == InitialInputText(FirstMaterialInput + k, Separator);
    }
    if (!initial) ProjectMaterialTexts = values;
    ChooseMaterial(std::nullopt);
  }

  const MeltTexts melt = SetupMeltTexts(setup, Separator);
  if (ProfileForm || melt != InitialMeltTexts(Separator)) Results()->findChild<TPressureTab*>()->SetTexts(melt);
  // A study window not yet opened takes it when it opens.
  if (StudyForm) StudyForm->ApplyStudySetup(SetupStudy(setup, Separator));
}

void TMF_Tad::OpenProjectClick() {
  const QStringList files = TheDialogs.ChooseDataFiles(DirectoryListBox1->Directory(), QString::fromLatin1(ProjectFileFilter));
  if (files.isEmpty()) return;
  const std::string path = QFile::encodeName(QFileInfo(files.front()).absoluteFilePath()).toStdString();
  std::string error;
  std::optional<RunSetup> setup = ReadProjectFile(path, error);
  if (!setup) {
    TheDialogs.ShowMessage(QString::fromStdString(error));
    return;
  }
  ProjectPath = path;
  ApplySetup(*setup);
  const std::string note = UnknownMembersNote(*setup);
  if (!note.empty()) TheDialogs.ShowMessage(QString::fromStdString(note));
}

void TMF_Tad::SaveProjectClick() {
  if (ProjectPath.empty()) {
    SaveProjectAsClick();
    return;
  }
  const std::string error = WriteProjectFile(ProjectPath, CurrentSetup());
  if (!error.empty()) TheDialogs.ShowMessage(QString::fromStdString(error));
}

void TMF_Tad::SaveProjectAsClick() {
  const QString suggested = ProjectPath.empty()
                                ? QDir(DirectoryListBox1->Directory()).filePath(QStringLiteral("project.chung"))
                                : QFile::decodeName(QByteArray::fromStdString(ProjectPath));
  QString chosen = TheDialogs.ChooseSaveFileName(QStringLiteral("Save Project"), suggested,
                                                 QString::fromLatin1(ProjectFileFilter));
  if (chosen.isEmpty()) return;
  if (QFileInfo(chosen).suffix().isEmpty()) chosen += QString::fromLatin1(ProjectFileExtension);
  const std::string path = QFile::encodeName(QFileInfo(chosen).absoluteFilePath()).toStdString();
  const RunSetup setup = CurrentSetup();
  const std::string error = WriteProjectFile(path, setup);
  if (!error.empty()) {
    TheDialogs.ShowMessage(QString::fromStdString(error));
    return;
  }
  ProjectPath = path;
}
