// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The editor of one user material: every member of the record as a field,
// checked as the file reader checks it before anything is written, and the
// viscosity fit from a datasheet's data on a page of its own.

#include <QDialog>
#include <array>
#include <optional>
#include <vector>

#include "materials/material_library.h"

class Dialogs;
class QComboBox;
class QLineEdit;
class QPlainTextEdit;
class TViscosityFitPanel;

class TMaterialEditor : public QDialog {
  Q_OBJECT
 public:
  // `material` is the record to start from (a new one, a duplicate or the
  // user material edited); `editing` keeps its key, which names its file.
  TMaterialEditor(const Material& material, bool editing, const MaterialLibrary& library, Dialogs& dialogs,
                  QWidget* parent = nullptr);

  // The record the fields describe, or nothing with `problem` naming the
  // field that does not read.
  std::optional<Material> FieldsRecord(std::string& problem) const;
  // "Save": checks every field, then writes <key>.json whole; on a refusal
  // says which field and writes nothing. True when written.
  bool SaveClick();
  // Puts a record into the fields.
  void ShowRecord(const Material& material);

 signals:
  void Saved(const QString& key);

 private:
  QLineEdit* AddLine(class QFormLayout* form, const char* name, const QString& label, const char* path);
  void FocusFieldOf(const std::string& problem);

  Material Original;
  bool Editing;
  const MaterialLibrary& Library;
  Dialogs& TheDialogs;
  char Separator = '.';

  QLineEdit* KeyEdit = nullptr;
  QLineEdit* NameEdit = nullptr;
  QLineEdit* GradeEdit = nullptr;
  QLineEdit* SupplierEdit = nullptr;
  QComboBox* ClassBox = nullptr;
  QComboBox* M0UnitBox = nullptr;
  std::array<QLineEdit*, MaterialValueCount> ValueEdits{};
  std::array<QComboBox*, QualityGroupCount> QualityBoxes{};
  QLineEdit* MeltingPointKindEdit = nullptr;
  QLineEdit* TypicalBarrelEdit = nullptr;
  std::array<QLineEdit*, 4> WindowEdits{};  // T low, T high, shear rate low, high
  QPlainTextEdit* SourcesEdit = nullptr;
  QPlainTextEdit* NotesEdit = nullptr;
  TViscosityFitPanel* FitPanel = nullptr;
  // What the last fit (or the record) says of the law; the fields hold the rest.
  std::optional<double> FittedRms, FittedMax;
  std::optional<SourceViscosityLaw> FittedLaw;
  std::vector<QWidget*> PathWidgets;  // each with the record path it edits as property "path"
};
