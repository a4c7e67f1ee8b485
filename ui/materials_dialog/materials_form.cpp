// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/materials_dialog/materials_form.h"

#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTextBrowser>
#include <QVBoxLayout>
#include <functional>

#include "ui/common/dialogs.h"
#include "ui/common/material_text.h"
#include "ui/main_window/main_window.h"
#include "ui/materials_dialog/material_editor.h"
#include "ui/materials_dialog/material_view.h"

namespace {

const char* const MaterialFileFilter = "Material Files (*.json);;All Files (*)";

QString KeyOf(const QListWidgetItem* item) { return item ? item->data(Qt::UserRole).toString() : QString(); }

}  // namespace

TMaterialsForm::TMaterialsForm(TMF_Tad& mainWindow, Dialogs& dialogs, QWidget* parent)
    : QDialog(parent), MainWindow(mainWindow), TheDialogs(dialogs) {
  setObjectName(QStringLiteral("MaterialsForm"));
  setWindowTitle(QStringLiteral("Materials"));
  resize(860, 560);

  MaterialList = new QListWidget;
  MaterialList->setObjectName(QStringLiteral("MaterialList"));
  RecordView = new QTextBrowser;
  RecordView->setObjectName(QStringLiteral("RecordView"));
  ProblemsText = new QLabel;
  ProblemsText->setObjectName(QStringLiteral("ProblemsText"));
  ProblemsText->setWordWrap(true);
  ProblemsText->setStyleSheet(QStringLiteral("color: #b00000"));

  const struct {
    QPushButton** Button;
    const char* Name;
    const char* Text;
    std::function<void()> Click;
  } buttons[] = {
      {&NewBtn, "NewBtn", "&New...", [this] { NewClick(); }},
      {&DuplicateBtn, "DuplicateBtn", "D&uplicate...", [this] { DuplicateClick(); }},
      {&EditBtn, "EditBtn", "&Edit...", [this] { EditClick(); }},
      {&DeleteBtn, "DeleteBtn", "&Delete", [this] { DeleteClick(); }},
      {&ImportBtn, "ImportBtn", "&Import...", [this] { ImportClick(); }},
      {&ExportBtn, "ExportBtn", "E&xport...", [this] { ExportClick(); }},
  };
  auto* column = new QVBoxLayout;
  for (const auto& entry : buttons) {
    *entry.Button = new QPushButton(QString::fromLatin1(entry.Text));
    (*entry.Button)->setObjectName(QString::fromLatin1(entry.Name));
    (*entry.Button)->setAutoDefault(false);
    connect(*entry.Button, &QPushButton::clicked, this, entry.Click);
    column->addWidget(*entry.Button);
  }
  column->addStretch();
  auto* close = new QPushButton(QStringLiteral("Close"));
  close->setObjectName(QStringLiteral("CloseBtn"));
  connect(close, &QPushButton::clicked, this, &QDialog::close);
  column->addWidget(close);

  auto* row = new QHBoxLayout;
  row->addWidget(MaterialList, 2);
  row->addWidget(RecordView, 4);
  row->addLayout(column);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(row);
  layout->addWidget(ProblemsText);

  connect(MaterialList, &QListWidget::currentRowChanged, this, [this] { ShowSelected(); });
  connect(MaterialList, &QListWidget::itemDoubleClicked, this, [this] {
    if (const Material* material = Selected()) MainWindow.ChooseMaterialByKey(material->Key);
  });
  Refresh();
}

void TMaterialsForm::Refresh(const QString& selectKey) {
  const QString keep = selectKey.isEmpty() ? KeyOf(MaterialList->currentItem()) : selectKey;
  const MaterialLibrary& library = MainWindow.Materials();
  MaterialList->clear();
  for (const Material& material : library.Materials) {
    auto* item = new QListWidgetItem(QString::fromStdString(MaterialChoiceText(material)), MaterialList);
    item->setData(Qt::UserRole, QString::fromStdString(material.Key));
  }
  QStringList problems;
  for (const std::string& problem : library.Problems) problems << QString::fromStdString(problem);
  ProblemsText->setText(problems.join(QLatin1Char('\n')));
  ProblemsText->setVisible(!problems.isEmpty());
  if (!SelectKey(keep)) MaterialList->setCurrentRow(0);
  ShowSelected();
}

const Material* TMaterialsForm::Selected() const {
  const QString key = KeyOf(MaterialList->currentItem());
  return key.isEmpty() ? nullptr : FindMaterial(MainWindow.Materials(), key.toStdString());
}

bool TMaterialsForm::SelectKey(const QString& key) {
  for (int row = 0; row < MaterialList->count(); ++row) {
    if (KeyOf(MaterialList->item(row)).compare(key, Qt::CaseInsensitive) == 0) {
      MaterialList->setCurrentRow(row);
      return true;
    }
  }
  return false;
}

void TMaterialsForm::ShowSelected() {
  const Material* material = Selected();
  RecordView->setHtml(material ? MaterialRecordHtml(*material) : QString());
  const bool user = material && material->Origin == MaterialOrigin::User;
  EditBtn->setEnabled(user);
  DeleteBtn->setEnabled(user);
  DuplicateBtn->setEnabled(material != nullptr);
  ExportBtn->setEnabled(material != nullptr);
}

TMaterialEditor* TMaterialsForm::OpenEditor(const Material& material, bool editing) {
  auto* editor = new TMaterialEditor(material, editing, MainWindow.Materials(), TheDialogs, this);
  editor->setAttribute(Qt::WA_DeleteOnClose);
  connect(editor, &TMaterialEditor::Saved, this, [this](const QString& key) {
    MainWindow.ReloadMaterials();
    Refresh(key);
  });
  editor->open();
  return editor;
}

TMaterialEditor* TMaterialsForm::NewClick() {
  // A start that passes every check but its name and key: the initial
  // material's values, each marked an estimate until the user says better.
  Material start;
  if (const Material* initial = FindMaterial(MainWindow.Materials(), "PET")) start = *initial;
  start.Key.clear();
  start.Name.clear();
  start.Grade.clear();
  start.Supplier.clear();
  start.Quality.fill(ValueQuality::C);
  start.SourceLaw.reset();
  start.Reference.reset();
  start.Sources.clear();
  start.Notes.clear();
  start.Fit.RmsPercent.reset();
  start.Fit.MaxPercent.reset();
  start.Origin = MaterialOrigin::User;
  start.Path.clear();
  return OpenEditor(start, false);
}

TMaterialEditor* TMaterialsForm::DuplicateClick() {
  const Material* material = Selected();
  if (!material) return nullptr;
  Material copy = *material;
  // The first free "<key>-copy", "<key>-copy2", ...
  std::string key = copy.Key + "-copy";
  for (int n = 2; FindMaterial(MainWindow.Materials(), key); ++n) key = copy.Key + "-copy" + std::to_string(n);
  copy.Key = key;
  copy.Name += " (copy)";
  copy.Origin = MaterialOrigin::User;
  copy.Path.clear();
  return OpenEditor(copy, false);
}

TMaterialEditor* TMaterialsForm::EditClick() {
  const Material* material = Selected();
  if (!material) return nullptr;
  if (material->Origin != MaterialOrigin::User) {
    TheDialogs.ShowMessage(QStringLiteral("%1 is a built-in material and read only: duplicate it to change it.")
                               .arg(QString::fromStdString(material->Key)));
    return nullptr;
  }
  return OpenEditor(*material, true);
}

void TMaterialsForm::DeleteClick() {
  const Material* material = Selected();
  if (!material || material->Origin != MaterialOrigin::User) return;
  const QString key = QString::fromStdString(material->Key);
  if (!TheDialogs.Ask(QStringLiteral("Delete the user material %1? Its file %2 is removed.")
                          .arg(key, QString::fromStdString(material->Path))))
    return;
  const std::string error = DeleteUserMaterial(key.toStdString(), UserMaterialsFolder());
  if (!error.empty()) TheDialogs.ShowMessage(QString::fromStdString(error));
  MainWindow.ReloadMaterials();
  Refresh();
}

void TMaterialsForm::ImportClick() {
  const QStringList files = TheDialogs.ChooseDataFiles(QDir::homePath(), QString::fromLatin1(MaterialFileFilter));
  if (files.isEmpty()) return;
  std::string error;
  std::optional<Material> material = ReadMaterialFile(QFile::encodeName(files.front()).toStdString(), error);
  if (!material) {
    TheDialogs.ShowMessage(QString::fromStdString(error));
    return;
  }
  const QString key = QString::fromStdString(material->Key);
  const Material* existing = FindMaterial(MainWindow.Materials(), material->Key);
  if (existing && existing->Origin == MaterialOrigin::User &&
      !TheDialogs.Ask(QStringLiteral("A user material %1 exists already. Replace it with the imported one?").arg(key)))
    return;
  error = SaveUserMaterial(*material, MainWindow.Materials(), UserMaterialsFolder());
  if (!error.empty()) {
    TheDialogs.ShowMessage(QString::fromStdString(error));
    return;
  }
  MainWindow.ReloadMaterials();
  Refresh(key);
}

void TMaterialsForm::ExportClick() {
  const Material* material = Selected();
  if (!material) return;
  const QString suggested = QDir::home().filePath(QString::fromStdString(material->Key) + QStringLiteral(".json"));
  const QString path = TheDialogs.ChooseSaveFileName(QStringLiteral("Export Material"), suggested,
                                                     QString::fromLatin1(MaterialFileFilter));
  if (path.isEmpty()) return;
  const std::string error = WriteMaterialFile(QFile::encodeName(path).toStdString(), *material);
  if (!error.empty()) TheDialogs.ShowMessage(QString::fromStdString(error));
}
