#pragma once
// The results window "Melting Profile": the charts, the summary with its
// warnings, where the report went and when, the table of every row, and the
// actions that take a run elsewhere (CSV, PNG, SVG, clipboard, viewer, a data
// file of its inputs). Non-modal; it shows the run it was last given.

#include <QString>
#include <QWidget>
#include <memory>
#include <vector>

#include "ui/common/run_snapshot.h"

class Dialogs;
class QChartView;
class QLabel;
class QPushButton;
class QTabWidget;
class QTableWidget;
class TPressureTab;

class TProfileForm : public QWidget {
  Q_OBJECT
 public:
  TProfileForm(Dialogs& dialogs, QWidget* parent = nullptr);
  ~TProfileForm() override;

  // Shows `run`, or the note that no run has completed yet.
  void ShowRun(std::shared_ptr<const RunSnapshot> run);
  // Marks the run shown as not the latest, with why the later run gave no
  // figures; an empty reason clears the mark.
  void SetStaleReason(const QString& reason);
  const RunSnapshot* Run() const { return Shown.get(); }

  void ExportCsvClick();
  void SaveChartPngClick();
  void SaveChartSvgClick();
  void CopyTableClick();
  void OpenReportClick();
  void SaveInputsClick();

 signals:
  // "Study..." or Ctrl+T: the main window opens the study window.
  void StudyRequested();

 private:
  void ShowSummary();
  void FillTable();
  QString SuggestedPath(const QString& suffix) const;
  // Asks for a path, then replaces that file with `bytes`; says so when it fails.
  // A name chosen without an extension gets the one of `suffix`.
  void SaveBytes(const QString& caption, const QString& suffix, const QString& filter, const QByteArray& bytes);
  QChartView* CurrentChart() const;

  Dialogs& TheDialogs;
  std::shared_ptr<const RunSnapshot> Shown;

  QTabWidget* Pages = nullptr;  // the melting profile, and pressure and temperature
  TPressureTab* Pressure = nullptr;
  QTabWidget* Charts = nullptr;
  QChartView* MeltingView = nullptr;
  QChartView* ConditionsView = nullptr;
  QLabel* SummaryText = nullptr;
  QLabel* WarningText = nullptr;
  QLabel* ReportText = nullptr;
  QLabel* StatusText = nullptr;
  QLabel* InputsText = nullptr;
  QString StaleReason;
  QTableWidget* Table = nullptr;
  std::vector<QPushButton*> Actions;
};
