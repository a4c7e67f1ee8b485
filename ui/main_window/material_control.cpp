// SPDX-License-Identifier: GPL-3.0-or-later
// The main window's "Material" control: the library's materials beside the
// eleven material fields, which the choice fills (they are never typed
// into), and a line with the chosen material's typical barrel temperature
// and the window its viscosity law was fitted over.

#include <QAbstractItemView>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QToolButton>

#include "materials/material_inputs.h"
#include "results/number_text.h"
#include "ui/common/radio_group.h"
#include "ui/common/shown_numbers.h"
#include "ui/common/window_font.h"
#include "ui/main_window/main_window.h"
#include "ui/materials_dialog/materials_form.h"
#include "ui/common/material_text.h"

namespace {

// The combo's first item: no record, the fields' own initial texts, so a run
// with it is the program's run of old to the byte in either unit.
constexpr int InitialValuesItem = 0;

constexpr int BarrelB0Index = 11;  // Edit12
static_assert(InputMembers[BarrelB0Index] == &ModelInputs::BarrelB0);

// The strip below the lower controls that the fixed layout leaves free.
constexpr int FactsLeft = 13, FactsTop = 485, FactsWidth = 536, FactsHeight = 17;

}  // namespace

void TMF_Tad::BuildMaterialControls() {
  // In the title row of "Input Data", right above the material fields.
  auto* label = new QLabel(QStringLiteral("Material"), GroupBox1);
  label->setObjectName(QStringLiteral("MaterialLabel"));
  label->setFont(WindowFont());
  SetTextColor(label, Qt::blue);
  label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  label->setAutoFillBackground(true);
  label->setGeometry(333, 0, 50, 19);

  MaterialBox = new QComboBox(GroupBox1);
  MaterialBox->setObjectName(QStringLiteral("MaterialBox"));
  MaterialBox->setFont(WindowFont());
  MaterialBox->setGeometry(386, 0, 186, 19);
  MaterialBox->setFocusPolicy(Qt::ClickFocus);
  MaterialBox->view()->setMinimumWidth(460);
  MaterialBox->setToolTip(QString::fromStdString(QualityLettersExplained()));

  MaterialsBtn = new QToolButton(GroupBox1);
  MaterialsBtn->setObjectName(QStringLiteral("MaterialsBtn"));
  MaterialsBtn->setText(QStringLiteral("Materials..."));
  MaterialsBtn->setFont(WindowFont());
  MaterialsBtn->setGeometry(575, 0, 71, 19);
  MaterialsBtn->setFocusPolicy(Qt::ClickFocus);
  connect(MaterialsBtn, &QToolButton::clicked, this, [this] { MaterialsClick(); });

  // Below the lower controls, the strip the fixed layout leaves free.
  MaterialFacts = new QLabel(this);
  MaterialFacts->setObjectName(QStringLiteral("MaterialFacts"));
  MaterialFacts->setFont(WindowFont());
  SetTextColor(MaterialFacts, Qt::blue);
  MaterialFacts->setGeometry(FactsLeft, FactsTop, FactsWidth, FactsHeight);
  // In the results window's colour of a warning.
  MaterialMark = new QLabel(QStringLiteral("\u26A0"), this);
  MaterialMark->setObjectName(QStringLiteral("MaterialWarningMark"));
  MaterialMark->setFont(WindowFont());
  SetTextColor(MaterialMark, QColor(0xa0, 0x40, 0x00));
  MaterialMark->setGeometry(FactsLeft, FactsTop, 14, FactsHeight);
  MaterialMark->hide();

  Library = LoadMaterialLibrary();
  // Said once, on the facts line, until a material is chosen or the
  // materials window (which lists the files) opens: no box to click away.
  LibraryNotePending = !Library.Problems.empty();
  FillMaterialBox();
  connect(MaterialBox, &QComboBox::activated, this, [this](int index) {
    if (index == InitialValuesItem) {
      ProjectMaterialTexts.reset();
      ChooseMaterial(std::nullopt);
    } else if (const Material* material = FindMaterial(Library, MaterialBox->itemData(index).toString().toStdString())) {
      ChooseMaterial(*material);
    }
  });
  // m0 follows the unit: a record's m0 is converted, the initial text is not.
  for (int i = 0; i < RadioGroup1->ItemCount(); ++i) {
    connect(RadioGroup1->Item(i), &QRadioButton::toggled, this, [this](bool on) {
      if (on) FillMaterialFields();
    });
  }
  connect(InputEdits[BarrelB0Index], &QLineEdit::textChanged, this, [this] { ShowMaterialFacts(); });
  FillMaterialFields();
}

void TMF_Tad::FillMaterialBox() {
  MaterialBox->clear();
  MaterialBox->addItem(QString::fromStdString(InitialMaterialName), QString());
  int chosen = InitialValuesItem;
  for (const Material& material : Library.Materials) {
    MaterialBox->addItem(QString::fromStdString(MaterialChoiceText(material)), QString::fromStdString(material.Key));
    MaterialBox->setItemData(MaterialBox->count() - 1, MaterialFactsText(material), Qt::ToolTipRole);
    if (Chosen && Chosen->Origin != MaterialOrigin::File && Chosen->Key == material.Key)
      chosen = MaterialBox->count() - 1;
  }
  // A record from a project or a file stands for itself, even when the
  // library holds one with its key.
  if (Chosen && Chosen->Origin == MaterialOrigin::File) {
    MaterialBox->addItem(QString::fromStdString(MaterialChoiceText(*Chosen)), QString());
    chosen = MaterialBox->count() - 1;
  } else if (!Chosen && ProjectMaterialTexts) {
    MaterialBox->addItem(QString::fromLatin1(ProjectMaterialName), QString());
    chosen = MaterialBox->count() - 1;
  }
  MaterialBox->setCurrentIndex(chosen);
}

void TMF_Tad::FillMaterialFields() {
  std::array<std::string, MaterialValueCount> texts;
  for (int k = 0; k < MaterialValueCount; ++k) texts[static_cast<size_t>(k)] = InitialInputText(FirstMaterialInput + k, Separator);
  if (Chosen) {
    texts = MaterialInputTexts(*Chosen, UnitIndex(), Separator);
  } else if (ProjectMaterialTexts) {
    texts = *ProjectMaterialTexts;
  }
  for (int k = 0; k < MaterialValueCount; ++k)
    InputEdits[static_cast<size_t>(FirstMaterialInput + k)]->setText(QString::fromStdString(texts[static_cast<size_t>(k)]));
  ShowMaterialFacts();
}

void TMF_Tad::ShowMaterialFacts() {
  QString problems;
  for (const std::string& problem : Library.Problems) problems += QStringLiteral("\n") + QString::fromStdString(problem);
  const QString leftOut = QStringLiteral("%1 of your material files %2 left out: see Materials... (Ctrl+M)")
                              .arg(Library.Problems.size())
                              .arg(Library.Problems.size() == 1 ? QStringLiteral("was") : QStringLiteral("were"));
  MaterialsBtn->setToolTip(problems.isEmpty() ? QStringLiteral("The material library (Ctrl+M)") : leftOut + problems);
  if (LibraryNotePending && !Chosen) {
    MaterialFacts->setText(leftOut);
    MaterialFacts->setToolTip(leftOut + problems);
    MaterialMark->hide();
    MaterialFacts->setGeometry(FactsLeft, FactsTop, FactsWidth, FactsHeight);
    return;
  }
  const QString facts = Chosen                 ? MaterialFactsText(*Chosen)
                        : ProjectMaterialTexts ? QString::fromLatin1(ProjectMaterialFacts)
                                               : QString::fromLatin1(InitialMaterialFacts);
  // A barrel temperature the record does not suit is said before GO, in the
  // words the run's warnings will use.
  const std::vector<std::string> warnings =
      Chosen ? MaterialWarnings(*Chosen, FieldTexts(), Separator) : std::vector<std::string>{};
  QString tip = facts;
  for (const std::string& warning : warnings) tip += QStringLiteral("\n\u26A0 ") + ShownText(warning);
  MaterialFacts->setToolTip(tip);
  MaterialMark->setToolTip(tip);
  MaterialMark->setVisible(!warnings.empty());
  // The mark stands before the line, which moves aside for it.
  const int markWidth = warnings.empty() ? 0 : MaterialMark->width() + 2;
  MaterialFacts->setGeometry(FactsLeft + markWidth, FactsTop, FactsWidth - markWidth, FactsHeight);
  // What the melting point is gives way first, then the line's end; the
  // tooltip has it whole.
  const int room = MaterialFacts->contentsRect().width();
  const QFontMetrics metrics = MaterialFacts->fontMetrics();
  const QString shown = Chosen && metrics.horizontalAdvance(facts) > room ? MaterialFactsText(*Chosen, false) : facts;
  MaterialFacts->setText(metrics.elidedText(shown, Qt::ElideRight, room));
}

QString TMF_Tad::MaterialName() const {
  if (Chosen) return QString::fromStdString(MaterialDisplayName(*Chosen));
  return QString::fromLatin1(ProjectMaterialTexts ? ProjectMaterialName : InitialMaterialName);
}

void TMF_Tad::ChooseMaterial(const std::optional<Material>& material) {
  LibraryNotePending = false;
  Chosen = material;
  if (Chosen) ProjectMaterialTexts.reset();
  FillMaterialBox();
  FillMaterialFields();
}

bool TMF_Tad::ChooseMaterialByKey(const std::string& key) {
  if (key.empty()) {
    ProjectMaterialTexts.reset();
    ChooseMaterial(std::nullopt);
    return true;
  }
  const Material* material = FindMaterial(Library, key);
  if (!material) return false;
  ChooseMaterial(*material);
  return true;
}

void TMF_Tad::ReloadMaterials() {
  Library = LoadMaterialLibrary();
  // A chosen user material that was changed or deleted: the fields show
  // what the library now says, or the record as it was, kept as a file's.
  if (Chosen && Chosen->Origin == MaterialOrigin::User) {
    if (const Material* again = FindMaterial(Library, Chosen->Key)) {
      Chosen = *again;
    } else {
      Chosen->Origin = MaterialOrigin::File;
    }
  }
  FillMaterialBox();
  FillMaterialFields();
}

void TMF_Tad::MaterialsClick() {
  if (LibraryNotePending) {
    LibraryNotePending = false;
    ShowMaterialFacts();
  }
  auto* form = findChild<TMaterialsForm*>(QStringLiteral("MaterialsForm"));
  if (!form) {
    form = new TMaterialsForm(*this, TheDialogs, this);
    form->setWindowFlag(Qt::Window);
  }
  if (const Material* material = ChosenMaterial()) form->SelectKey(QString::fromStdString(material->Key));
  form->show();
  form->raise();
  form->activateWindow();
}
