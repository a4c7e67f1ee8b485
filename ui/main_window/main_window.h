#pragma once
// The main window: the 28 input rows, the viscosity unit, the result file
// name, the file widgets, the picture and the three buttons.

#include <QLocale>
#include <QWidget>
#include <array>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/run_command.h"
#include "materials/material_library.h"
#include "materials/project_file.h"
#include "melt/melt_inputs.h"
#include "model/data_file.h"
#include "model/model_state.h"
#include "ui/common/shown_numbers.h"

class Dialogs;
class QLabel;
class QLineEdit;
class QPushButton;
class QGroupBox;
class QComboBox;
class QToolButton;
class TBevelPanel;
class TRadioGroup;
class TDriveComboBox;
class TDirectoryListBox;
class TFileListBox;
class TProfileForm;
class TStudyForm;
struct RunSnapshot;

// Outer size of the window where the window system draws a frame; without a
// frame (offscreen, X without a window manager) the client area is the one
// a usual frame (4 pixels at the sides and bottom, 23 at the top) leaves.
inline constexpr int WindowOuterWidth = 696;
inline constexpr int WindowOuterHeight = 530;
inline constexpr int FramelessClientWidth = 688;
inline constexpr int FramelessClientHeight = 503;

class TMF_Tad : public QWidget {
  Q_OBJECT
 public:
  explicit TMF_Tad(Dialogs& dialogs, QWidget* parent = nullptr);
  ~TMF_Tad() override;

  // GO: run the calculation with the texts of the fields.
  void BitBtn1Click();
  // "Read Data File": choose a data file and load it into the fields.
  void InputDataBtnClick();
  // Checks every line of DataFileLines, then sets the unit and the enabled fields.
  void ApplyDataLines();

  // A click on Image1, or Ctrl+R: opens the results window on the last
  // completed run.
  void Image1Click();

  // Ctrl+T, or "Study..." in the results window: opens the study window.
  void StudyClick();
  // The texts of the fields as GO reads them, and the unit chosen.
  RunTexts FieldTexts() const;
  int32_t UnitIndex() const;
  // Puts the 28 input texts into the fields; a fixed field keeps its text.
  // Returns the inputs whose fixed field differs from `texts`.
  std::vector<int> SetFieldTexts(const RunTexts& texts);
  // The die inputs of the results window's tab "Pressure and temperature",
  // the initial ones before that window first opens.
  MeltTexts StageTexts() const;
  // Opens the results window on `run` (a study's case) instead of the last run.
  void ShowInResults(std::shared_ptr<const RunSnapshot> run);

  // The material whose values fill the eleven material fields; null for the
  // initial values.
  const Material* ChosenMaterial() const { return Chosen ? &*Chosen : nullptr; }
  // Its name for captions: the initial values' name when none is chosen.
  QString MaterialName() const;
  // Chooses `material` (null: the initial values) and fills the fields.
  void ChooseMaterial(const std::optional<Material>& material);
  // Chooses the library's material with `key` (letter case ignored), the
  // initial values for an empty key; false when the library has none.
  bool ChooseMaterialByKey(const std::string& key);
  // Reads the library again (after the materials window changed it),
  // keeping the choice.
  void ReloadMaterials();
  const MaterialLibrary& Materials() const { return Library; }
  // "Materials...": the library window.
  void MaterialsClick();

  // Ctrl+O and Ctrl+S: a project file with the fields, the unit, the
  // material, the die inputs and the study setup.
  void OpenProjectClick();
  void SaveProjectClick();
  void SaveProjectAsClick();
  // What the window holds as a project, and putting one into the window.
  RunSetup CurrentSetup() const;
  // The run the fields describe: texts, unit, material and the die inputs.
  RunSetup FieldsSetup() const;
  void ApplySetup(const RunSetup& setup);

  char DecimalSeparator() const { return Separator; }
  const ModelState& State() const { return *Model; }
  // The last completed run, or null before the first.
  const RunSnapshot* LastRun() const { return LastCompletedRun.get(); }

  // The last data file chosen and its first 29 lines, kept until the next load.
  std::string DataFileName;
  DataFileLineArray DataFileLines;

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void changeEvent(QEvent* event) override;
  void showEvent(QShowEvent* event) override;
  void moveEvent(QMoveEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void BuildInputRows();
  void BuildLowerControls();
  void SetTabOrder();
  void FitToFrame();
  void CentreOnScreen();
  void KeepMinimumToControls();
  // After a completed run, before anything moves the current directory.
  void KeepCompletedRun(const RunSetup& setup, bool reportWritten);
  // After a refused or failed run: the results window keeps the last
  // completed run, marked as not the latest, with the reason.
  void MarkResultsStale(const RunOutcome& outcome);
  void FocusRefusedField(const RunTexts& texts);
  void BuildMaterialControls();
  void BuildProjectMenu();
  void FillMaterialBox();
  // The eleven material fields from the choice, m0 in the unit selected.
  void FillMaterialFields();
  // The line under the lower controls: the chosen material's facts, marked
  // when the barrel temperature typed does not suit it.
  void ShowMaterialFacts();

  Dialogs& TheDialogs;
  std::unique_ptr<ModelState> Model;
  char Separator = '.';
  bool FrameFitted = false;
  bool Shown = false;
  std::shared_ptr<const RunSnapshot> LastCompletedRun;
  QString StaleReason;  // why the last run gave no figures; empty after a completed run
  TProfileForm* ProfileForm = nullptr;  // created when first opened
  TStudyForm* StudyForm = nullptr;      // likewise
  TProfileForm* Results();

  QGroupBox* GroupBox1 = nullptr;
  QGroupBox* GroupBox2 = nullptr;
  std::array<QLineEdit*, InputCount> InputEdits{};  // canonical order
  QLineEdit* Edit29 = nullptr;
  TRadioGroup* RadioGroup1 = nullptr;
  QPushButton* InputDataBtn = nullptr;
  QPushButton* BitBtn1 = nullptr;
  QPushButton* BitBtn2 = nullptr;
  TDriveComboBox* DriveComboBox1 = nullptr;
  TDirectoryListBox* DirectoryListBox1 = nullptr;
  TFileListBox* FileListBox1 = nullptr;
  TBevelPanel* Panel29 = nullptr;
  QLabel* Image1 = nullptr;

  MaterialLibrary Library;
  std::optional<Material> Chosen;
  // A project's material values without a record: shown as typed, like the
  // initial values, in either unit.
  std::optional<std::array<std::string, MaterialValueCount>> ProjectMaterialTexts;
  std::string ProjectPath;  // the project last opened or saved
  RunSetup Project;         // as read: its study setup and the members of a newer version go back out
  QComboBox* MaterialBox = nullptr;
  QToolButton* MaterialsBtn = nullptr;
  QLabel* MaterialFacts = nullptr;
  bool LibraryNotePending = false;  // the facts line says how many user files were left out
  QLabel* MaterialMark = nullptr;  // before MaterialFacts while the barrel does not suit the material
  QToolButton* ProjectBtn = nullptr;
};
