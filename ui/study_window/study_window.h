#pragma once
// The study window (study_window.cpp; its chart in study_chart.cpp, its
// table in study_table): vary one input (and a second for a family of curves) or
// find a limit of one input, from the main window's current inputs. The cases
// run on every core through results/'s study engine, off this thread; the
// chart, the table and the export show them as they finish.

#include <QHash>
#include <QWidget>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "materials/project_file.h"
#include "ui/study_window/study_job.h"

class Dialogs;
class QAbstractSeries;
class QButtonGroup;
class QChart;
class QChartView;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QLineSeries;
class QProgressBar;
class QPushButton;
class QScatterSeries;
class QTableView;
class QTimer;
class QValueAxis;
class StudyTableModel;
class TMF_Tad;

// "Output (kg/hr)": the main window's label of an input without its colon,
// with the input's unit where the label does not name one.
QString StudyInputLabel(int input);

class TStudyForm : public QWidget {
  Q_OBJECT
 public:
  TStudyForm(TMF_Tad& mainWindow, Dialogs& dialogs, QWidget* parent = nullptr);
  ~TStudyForm() override;

  void RunClick();
  void CancelClick();
  void ExportCsvClick();
  void SaveChartPngClick();
  void SaveChartSvgClick();
  // The selected case (a chart point or a table row) in the results window,
  // and its inputs into the main window's fields.
  void ShowCaseClick();
  void CopyInputsClick();
  // Escape: closes the window, after asking whether to stop a study that runs.
  void EscapeClick();

  // Takes the die inputs of the results window's tab "Pressure and
  // temperature": the box "Melt-conveying stage" is on by default when they
  // are not the initial ones, and off and disabled while they are refused.
  void ReadStageInputs();

  // A project's study setup (in the window's decimal separator) into the
  // controls, as far as they offer it; the status line names what is left out.
  void ApplyStudySetup(const StudySetup& setup);
  // The controls as a study setup, `tolerance` kept since no control holds
  // it; the setup last applied, whole, while the controls still show it.
  StudySetup CurrentStudySetup(const std::string& tolerance) const;

  bool Running() const { return Job != nullptr; }
  // Closing the window cancels a running study, keeping its finished cases.
  void closeEvent(QCloseEvent* event) override;
  // The study file as far as it is written: header and the rows in case order.
  std::string CsvText() const;
  const std::vector<StudyCaseResult>& Cases() const { return Finished; }
  // Selects the case at `index` in Cases(), as a click on its point does.
  void SelectCase(std::size_t index);

 private:
  struct AxisControls {
    QComboBox* Input = nullptr;
    QLineEdit* From = nullptr;
    QLineEdit* To = nullptr;
    QLineEdit* Step = nullptr;
    QLineEdit* List = nullptr;
    QLabel* Preview = nullptr;  // the values the axis will run, or what is wrong
  };
  // One family's curve, broken where a case has no value.
  struct Family {
    QLineSeries* Segment = nullptr;  // the one points are added to
    bool Broken = false;             // a gap came after its last point
  };

  AxisControls BuildAxisRow(const QString& label, bool optional);
  // One --vary argument into an axis row; false when the row offers no such input.
  bool FillAxis(AxisControls& axis, const std::string& argument);
  StudySetup WindowStudySetup(const std::string& tolerance) const;
  void ModeChanged();
  // The plan (and search) from the controls; nullopt after telling the user.
  std::optional<StudyRequest> ReadRequest();
  std::optional<StudyAxis> ReadAxis(const AxisControls& axis);
  std::string AxisArgument(const AxisControls& axis) const;  // as --vary takes it
  void ShowPreviews();
  void Poll();     // takes finished cases, updates the progress
  void Finish();   // the job is over
  void FillFigures();  // the chart's choice of figures for the study shown
  // One search with no second input has no curve to draw: its value, status
  // and run are shown in words instead of the chart.
  bool SingleLimit() const;
  void ShowSingleLimit();
  void ResetChart();
  void PlotCases(std::size_t first);  // cases from `first` on
  void FitAxes();
  bool CaseValue(const StudyCaseResult& result, double& y) const;
  double CaseX(const StudyCaseResult& result) const;
  std::size_t FamilyOf(const StudyCaseResult& result) const;
  QString FamilyName(std::size_t family) const;
  QString CaseText(const StudyCaseResult& result) const;
  void PointEvent(QAbstractSeries* series, const QPointF& point, bool click);
  // What a case ran: the study's start with its values and material, the
  // found value of a search in place; the stage off.
  RunSetup CaseSetup(const StudyCaseResult& result) const;
  QString DefaultCaption() const;
  void SaveBytes(const QString& caption, const QString& name, const QString& filter, const QByteArray& bytes);

  TMF_Tad& MainWindow;
  Dialogs& TheDialogs;
  std::unique_ptr<StudyJob> Job;
  // What the shown cases were run with: kept when the job ends.
  std::optional<StudyRequest> Shown;
  std::string HeaderLine;
  std::vector<StudyCaseResult> Finished;
  std::optional<std::size_t> Selected;
  double StartedAt = 0;  // seconds, monotonic

  QButtonGroup* Mode = nullptr;
  AxisControls First, Second;
  QCheckBox* StageBox = nullptr;
  bool StageTouched = false;  // the user set the box: it no longer follows the die inputs
  QComboBox* Condition = nullptr;
  QComboBox* Bound = nullptr;
  QCheckBox* Smallest = nullptr;
  QPushButton* RunButton = nullptr;
  QPushButton* CancelButton = nullptr;
  QProgressBar* Progress = nullptr;
  QLabel* Status = nullptr;
  QComboBox* Figure = nullptr;
  QWidget* ChartArea = nullptr;  // the choice of figure and the chart
  QLabel* LimitText = nullptr;   // in its place for a single search
  QChartView* ChartView = nullptr;
  QChart* Chart = nullptr;
  QValueAxis* AxisX = nullptr;
  QValueAxis* AxisY = nullptr;
  std::vector<Family> Families;
  QScatterSeries* WarningMarks = nullptr;
  QScatterSeries* SolidMarks = nullptr;
  QScatterSeries* GapMarks = nullptr;
  QHash<QAbstractSeries*, std::vector<std::size_t>> SeriesCases;  // point i -> index in Finished
  double MinX = 0, MaxX = 0, MinY = 0, MaxY = 0;
  bool AnyPoint = false;
  QTableView* Table = nullptr;
  StudyTableModel* TableModel = nullptr;
  QLineEdit* Caption = nullptr;
  std::vector<QPushButton*> CaseActions;  // need a selected case
  std::vector<QPushButton*> Exports;      // need cases
  QTimer* PollTimer = nullptr;
  // The setup last applied, and the controls' setup right after it.
  std::optional<std::pair<StudySetup, StudySetup>> Filled;
};
