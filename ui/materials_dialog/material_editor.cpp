// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/materials_dialog/material_editor.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

#include "ui/common/dialogs.h"
#include "ui/main_window/main_window.h"
#include "ui/materials_dialog/number_field.h"
#include "ui/materials_dialog/viscosity_fit_panel.h"

namespace {

// The labels of the eleven values, in MaterialValue order.
const char* const ValueLabels[MaterialValueCount] = {
    "Viscosity m0",           "Viscosity b",          "Viscosity n",
    "Viscosity T0",           "Density of solid",     "Density of melt",
    "Specific heat of solid", "Heat of fusion",       "Specific heat of melt",
    "Thermal conductivity of melt", "Melting point"};

const char* const WindowPaths[4] = {"fit.T_range", "fit.T_range", "fit.shear_range", "fit.shear_range"};
const char* const WindowLabels[4] = {"Fit window, lowest temperature (\u00B0C)", "Fit window, highest temperature (\u00B0C)",
                                     "Fit window, lowest shear rate (1/s)", "Fit window, highest shear rate (1/s)"};

const ValueQuality Qualities[] = {ValueQuality::A, ValueQuality::B, ValueQuality::C, ValueQuality::Default};

QString ValuePath(int k) {
  return QStringLiteral("values.%1.value").arg(QString::fromLatin1(MaterialValueNames[static_cast<size_t>(k)].Name));
}

}  // namespace

TMaterialEditor::TMaterialEditor(const Material& material, bool editing, const MaterialLibrary& library,
                                 Dialogs& dialogs, QWidget* parent)
    : QDialog(parent), Original(material), Editing(editing), Library(library), TheDialogs(dialogs) {
  setObjectName(QStringLiteral("MaterialEditor"));
  setWindowTitle(editing ? QStringLiteral("Edit Material %1").arg(QString::fromStdString(material.Key))
                         : QStringLiteral("New Material"));
  Separator = DecimalSeparatorOf(QLocale::system());

  auto* tabs = new QTabWidget(this);
  auto* recordPage = new QWidget;
  auto* columns = new QGridLayout(recordPage);

  auto* identity = new QFormLayout;
  KeyEdit = AddLine(identity, "KeyEdit", QStringLiteral("Key (the file name)"), "key");
  KeyEdit->setReadOnly(editing);
  NameEdit = AddLine(identity, "NameEdit", QStringLiteral("Name"), "name");
  GradeEdit = AddLine(identity, "GradeEdit", QStringLiteral("Grade (optional)"), "grade");
  SupplierEdit = AddLine(identity, "SupplierEdit", QStringLiteral("Supplier (optional)"), "supplier");
  ClassBox = new QComboBox;
  ClassBox->setObjectName(QStringLiteral("ClassBox"));
  ClassBox->addItems({QString::fromLatin1(PolymerClassText(PolymerClass::SemiCrystalline)),
                      QString::fromLatin1(PolymerClassText(PolymerClass::Amorphous))});
  identity->addRow(QStringLiteral("Polymer class"), ClassBox);
  MeltingPointKindEdit =
      AddLine(identity, "MeltingPointKindEdit", QStringLiteral("Melting point is"), "MeltingPoint_kind");
  MeltingPointKindEdit->setPlaceholderText(QStringLiteral("DSC peak, or a flow temperature (amorphous)"));
  TypicalBarrelEdit =
      AddLine(identity, "TypicalBarrelEdit", QStringLiteral("Typical barrel temperature (\u00B0C)"), "typical_barrel_C");
  for (int i = 0; i < 4; ++i)
    WindowEdits[static_cast<size_t>(i)] =
        AddLine(identity, i < 2 ? (i == 0 ? "FitTLowEdit" : "FitTHighEdit") : (i == 2 ? "FitRateLowEdit" : "FitRateHighEdit"),
                QString::fromUtf8(WindowLabels[i]), WindowPaths[i]);
  auto* identityBox = new QGroupBox(QStringLiteral("Material"));
  identityBox->setLayout(identity);
  columns->addWidget(identityBox, 0, 0);

  auto* values = new QGridLayout;
  M0UnitBox = new QComboBox;
  M0UnitBox->setObjectName(QStringLiteral("M0UnitBox"));
  M0UnitBox->addItems({QString::fromLatin1(MaterialValueNames[0].Unit), QString::fromLatin1(PascalM0Unit)});
  for (int k = 0; k < MaterialValueCount; ++k) {
    auto* edit = new QLineEdit;
    edit->setObjectName(QStringLiteral("Value_%1").arg(QString::fromLatin1(MaterialValueNames[static_cast<size_t>(k)].Name)));
    edit->setProperty("path", ValuePath(k));
    PathWidgets.push_back(edit);
    ValueEdits[static_cast<size_t>(k)] = edit;
    values->addWidget(new QLabel(QString::fromLatin1(ValueLabels[k])), k, 0);
    values->addWidget(edit, k, 1);
    if (k == 0) {
      values->addWidget(M0UnitBox, k, 2);
    } else {
      values->addWidget(new QLabel(QString::fromUtf8(MaterialValueNames[static_cast<size_t>(k)].Unit)), k, 2);
    }
  }
  // Quality: the viscosity law as a whole, then each other value.
  for (int group = 0; group < QualityGroupCount; ++group) {
    auto* box = new QComboBox;
    box->setObjectName(QStringLiteral("Quality_%1").arg(QString::fromLatin1(QualityGroupNames[static_cast<size_t>(group)])));
    for (ValueQuality quality : Qualities) box->addItem(QString::fromLatin1(QualityText(quality)));
    box->setToolTip(QStringLiteral("A: a full table read; B: an excerpt, a transcription or a room-temperature proxy; "
                                   "C: an estimate; default: the program's initial value"));
    QualityBoxes[static_cast<size_t>(group)] = box;
    const int row = group == 0 ? 0 : group + 3;  // the law's quality beside m0
    values->addWidget(box, row, 3);
  }
  values->addWidget(new QLabel(QStringLiteral("Quality")), MaterialValueCount, 3);
  auto* valuesBox = new QGroupBox(QStringLiteral("Values"));
  valuesBox->setLayout(values);
  columns->addWidget(valuesBox, 0, 1);

  SourcesEdit = new QPlainTextEdit;
  SourcesEdit->setObjectName(QStringLiteral("SourcesEdit"));
  SourcesEdit->setProperty("path", QStringLiteral("sources"));
  SourcesEdit->setPlaceholderText(QStringLiteral("One source a line"));
  NotesEdit = new QPlainTextEdit;
  NotesEdit->setObjectName(QStringLiteral("NotesEdit"));
  NotesEdit->setProperty("path", QStringLiteral("notes"));
  PathWidgets.push_back(SourcesEdit);
  PathWidgets.push_back(NotesEdit);
  auto* texts = new QFormLayout;
  texts->addRow(QStringLiteral("Sources"), SourcesEdit);
  texts->addRow(QStringLiteral("Notes"), NotesEdit);
  columns->addLayout(texts, 1, 0, 1, 2);
  tabs->addTab(recordPage, QStringLiteral("Record"));

  FitPanel = new TViscosityFitPanel(TheDialogs);
  tabs->addTab(FitPanel, QStringLiteral("Viscosity fit"));
  // A fit fills the four law values and its window, in the unit chosen.
  connect(FitPanel, &TViscosityFitPanel::FitAccepted, this, [this](const ViscosityFit& fit, const FitGrid& grid) {
    std::string problem;
    Material record = FieldsRecord(problem).value_or(Original);
    StoreFit(fit, M0UnitBox->currentIndex() == 1 ? ViscosityUnit::PaS : ViscosityUnit::GfSPerCm2, record);
    for (int k = 0; k < 4; ++k)
      ValueEdits[static_cast<size_t>(k)]->setText(NumberField(record.Values[static_cast<size_t>(k)], Separator));
    WindowEdits[0]->setText(NumberField(grid.Temperature.Low, Separator));
    WindowEdits[1]->setText(NumberField(grid.Temperature.High, Separator));
    WindowEdits[2]->setText(NumberField(grid.ShearRate.Low, Separator));
    WindowEdits[3]->setText(NumberField(grid.ShearRate.High, Separator));
    FittedRms = record.Fit.RmsPercent;
    FittedMax = record.Fit.MaxPercent;
    FittedLaw = FitPanel->SourceLaw();
  });

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Save | QDialogButtonBox::Cancel);
  buttons->button(QDialogButtonBox::Save)->setObjectName(QStringLiteral("SaveBtn"));
  connect(buttons, &QDialogButtonBox::accepted, this, [this] { SaveClick(); });
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(tabs);
  layout->addWidget(buttons);
  ShowRecord(material);
  FitPanel->StartFrom(material);
}

QLineEdit* TMaterialEditor::AddLine(QFormLayout* form, const char* name, const QString& label, const char* path) {
  auto* edit = new QLineEdit;
  edit->setObjectName(QString::fromLatin1(name));
  edit->setProperty("path", QString::fromLatin1(path));
  PathWidgets.push_back(edit);
  form->addRow(label, edit);
  return edit;
}

void TMaterialEditor::ShowRecord(const Material& material) {
  KeyEdit->setText(QString::fromStdString(material.Key));
  NameEdit->setText(QString::fromStdString(material.Name));
  GradeEdit->setText(QString::fromStdString(material.Grade));
  SupplierEdit->setText(QString::fromStdString(material.Supplier));
  ClassBox->setCurrentIndex(material.Class == PolymerClass::Amorphous ? 1 : 0);
  M0UnitBox->setCurrentIndex(material.M0Unit == ViscosityUnit::PaS ? 1 : 0);
  for (int k = 0; k < MaterialValueCount; ++k)
    ValueEdits[static_cast<size_t>(k)]->setText(NumberField(material.Values[static_cast<size_t>(k)], Separator));
  for (int group = 0; group < QualityGroupCount; ++group)
    QualityBoxes[static_cast<size_t>(group)]->setCurrentIndex(static_cast<int>(material.Quality[static_cast<size_t>(group)]));
  MeltingPointKindEdit->setText(QString::fromStdString(material.MeltingPointKind));
  TypicalBarrelEdit->setText(NumberField(material.TypicalBarrelTemp, Separator));
  const double window[4] = {material.Fit.Temperature.Low, material.Fit.Temperature.High, material.Fit.ShearRate.Low,
                            material.Fit.ShearRate.High};
  for (int i = 0; i < 4; ++i) WindowEdits[static_cast<size_t>(i)]->setText(NumberField(window[i], Separator));
  QStringList sources;
  for (const std::string& source : material.Sources) sources << QString::fromStdString(source);
  SourcesEdit->setPlainText(sources.join(QLatin1Char('\n')));
  NotesEdit->setPlainText(QString::fromStdString(material.Notes));
  FittedRms = material.Fit.RmsPercent;
  FittedMax = material.Fit.MaxPercent;
  FittedLaw = material.SourceLaw;
}

std::optional<Material> TMaterialEditor::FieldsRecord(std::string& problem) const {
  Material material = Original;
  material.Key = KeyEdit->text().trimmed().toStdString();
  material.Name = NameEdit->text().trimmed().toStdString();
  material.Grade = GradeEdit->text().trimmed().toStdString();
  material.Supplier = SupplierEdit->text().trimmed().toStdString();
  material.Class = ClassBox->currentIndex() == 1 ? PolymerClass::Amorphous : PolymerClass::SemiCrystalline;
  material.M0Unit = M0UnitBox->currentIndex() == 1 ? ViscosityUnit::PaS : ViscosityUnit::GfSPerCm2;
  material.MeltingPointKind = MeltingPointKindEdit->text().trimmed().toStdString();

  const auto number = [&](QLineEdit* edit, double& target) {
    const std::optional<double> value = ReadNumber(edit->text(), Separator);
    if (!value) {
      problem = edit->property("path").toString().toStdString() + " is not a number: \"" + edit->text().toStdString() + "\"";
      return false;
    }
    target = *value;
    return true;
  };
  for (int k = 0; k < MaterialValueCount; ++k)
    if (!number(ValueEdits[static_cast<size_t>(k)], material.Values[static_cast<size_t>(k)])) return std::nullopt;
  if (!number(TypicalBarrelEdit, material.TypicalBarrelTemp)) return std::nullopt;
  FitWindow window = material.Fit;
  if (!number(WindowEdits[0], window.Temperature.Low) || !number(WindowEdits[1], window.Temperature.High) ||
      !number(WindowEdits[2], window.ShearRate.Low) || !number(WindowEdits[3], window.ShearRate.High))
    return std::nullopt;
  window.RmsPercent = FittedRms;
  window.MaxPercent = FittedMax;
  material.Fit = window;
  material.SourceLaw = FittedLaw;
  for (int group = 0; group < QualityGroupCount; ++group)
    material.Quality[static_cast<size_t>(group)] = Qualities[QualityBoxes[static_cast<size_t>(group)]->currentIndex()];
  material.Sources.clear();
  for (const QString& line : SourcesEdit->toPlainText().split(QLatin1Char('\n')))
    if (!line.trimmed().isEmpty()) material.Sources.push_back(line.trimmed().toStdString());
  material.Notes = NotesEdit->toPlainText().trimmed().toStdString();
  // A record the editor made is its user's own: a reference run of another
  // calculation no longer describes it once a value changed.
  if (material.Values != Original.Values) material.Reference.reset();
  material.Origin = MaterialOrigin::User;
  problem = MaterialProblem(material);
  if (!problem.empty()) return std::nullopt;
  return material;
}

bool TMaterialEditor::SaveClick() {
  std::string problem;
  std::optional<Material> material = FieldsRecord(problem);
  if (material && !Editing && FindMaterial(Library, material->Key))
    problem = "key \"" + material->Key + "\" is taken by another material; choose another key";
  if (!material || !problem.empty()) {
    TheDialogs.ShowMessage(QStringLiteral("The material is not saved: %1.").arg(QString::fromStdString(problem)));
    FocusFieldOf(problem);
    return false;
  }
  const std::string error = SaveUserMaterial(*material, Library, UserMaterialsFolder());
  if (!error.empty()) {
    TheDialogs.ShowMessage(QString::fromStdString(error));
    return false;
  }
  emit Saved(QString::fromStdString(material->Key));
  accept();
  return true;
}

// The field the message names gets the cursor; the longest path named wins
// ("values.MeltingPoint.value" over "values").
void TMaterialEditor::FocusFieldOf(const std::string& problem) {
  QWidget* best = nullptr;
  qsizetype length = 0;
  for (QWidget* widget : PathWidgets) {
    const QString path = widget->property("path").toString();
    if (problem.rfind(path.toStdString(), 0) == 0 && path.size() > length) {
      best = widget;
      length = path.size();
    }
  }
  if (best) best->setFocus(Qt::OtherFocusReason);
}
