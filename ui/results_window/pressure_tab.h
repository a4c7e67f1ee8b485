#pragma once
// The results window's tab "Pressure and temperature": the melt-conveying
// stage of the run shown, with its die inputs beside the chart, the stage's
// summary, warnings and note, and the search for the flood-fed operating
// point, which runs off the GUI thread and can be cancelled. The stage reruns
// for every new run and every change of the die inputs while they are valid.

#include <QWidget>
#include <array>
#include <memory>

#include "melt/melt_operating_point.h"
#include "melt/melt_stage.h"
#include "ui/common/run_snapshot.h"

class QChartView;
class QComboBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QThread;

class TPressureTab : public QWidget {
  Q_OBJECT
 public:
  explicit TPressureTab(QWidget* parent = nullptr);
  ~TPressureTab() override;

  void ShowRun(std::shared_ptr<const RunSnapshot> run);

  // The die inputs as they stand, in MeltTexts order (DieMode as its word).
  MeltTexts Texts() const;
  // Puts `texts` into the die inputs and reruns the stage.
  void SetTexts(const MeltTexts& texts);
  // The stage of the run shown; null when it did not run or was refused.
  const MeltStage* Stage() const { return StageShown ? &TheStage : nullptr; }
  bool Searching() const { return Worker != nullptr; }

  void FindOperatingPointClick();
  void CancelClick();

 signals:
  // "Use as Output": the output found, as the Output field takes it.
  void OutputChosen(const QString& text);
  // The search ended: found, not found, cancelled or superseded.
  void SearchEnded();

 private:
  struct Search;
  void Recompute();
  void ClearWhileRefused();  // as a die field is typed in
  void EnableDieFields();
  void ShowStage(const QString& refusal);
  void ShowOperatingPoints();
  void StopSearch();
  void UseOutput(MeltBound bound);

  std::shared_ptr<const RunSnapshot> Shown;
  MeltStage TheStage;
  bool StageShown = false;
  std::shared_ptr<Search> Current;  // the search under way, or the last one shown
  QThread* Worker = nullptr;

  QComboBox* DieModeBox = nullptr;
  std::array<QLineEdit*, MeltInputCount> Edits{};  // entry 0 unused: DieMode is the box
  QChartView* Chart = nullptr;
  QLabel* SummaryText = nullptr;
  QLabel* WarningText = nullptr;
  QPushButton* FindButton = nullptr;
  QPushButton* CancelButton = nullptr;
  QProgressBar* Busy = nullptr;
  QLabel* OperatingPointText = nullptr;
  std::array<QPushButton*, MeltBoundCount> UseButtons{};
};
