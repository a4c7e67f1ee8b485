// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The material editor's page "Viscosity fit": a datasheet's Cross-WLF
// constants, a Cross law with an Arrhenius zero-shear viscosity, or measured
// points pasted from a spreadsheet, fitted to the program's law over a
// window; the figures of the fit and a chart of the fitted law against its
// source at three temperatures.

#include <QWidget>
#include <array>
#include <optional>
#include <vector>

#include "materials/viscosity_fit.h"

class Dialogs;
class QChartView;
class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QStackedWidget;

class TViscosityFitPanel : public QWidget {
  Q_OBJECT
 public:
  enum class Source { CrossWlf, CrossArrhenius, Points };

  explicit TViscosityFitPanel(Dialogs& dialogs, QWidget* parent = nullptr);

  // The window from the record's fit window, the source law's constants
  // when it has one.
  void StartFrom(const Material& material);
  // The datasheet law the constants describe; nothing for measured points.
  std::optional<SourceViscosityLaw> SourceLaw() const;
  // "Fit": reads the fields, fits and shows the figures and the chart; a
  // field that does not read is named in a message. True when fitted.
  bool FitClick();
  const ViscosityFit& LastFit() const { return Fit; }

 signals:
  // "Use this fit": the law's values go into the record.
  void FitAccepted(const ViscosityFit& fit, const FitGrid& grid);

 private:
  QLineEdit* AddField(class QFormLayout* form, const char* name, const QString& label);
  std::optional<double> FieldNumber(QLineEdit* edit, const QString& label);
  void DrawChart();
  // mu of the fitted law in Pa.s.
  double FittedViscosity(double temperature, double shearRate) const;

  Dialogs& TheDialogs;
  char Separator = '.';
  ViscosityFit Fit;
  FitGrid Grid;
  std::optional<SourceViscosityLaw> FittedLaw;  // null when fitted to points
  std::vector<ViscosityPoint> Points;

  QComboBox* SourceBox = nullptr;
  QStackedWidget* SourcePages = nullptr;
  // Cross-WLF: n, tau*, D1, D2, A1, A2; Cross-Arrhenius: n, tau*, B, Tb.
  std::array<QLineEdit*, 6> WlfEdits{};
  std::array<QLineEdit*, 4> ArrheniusEdits{};
  QPlainTextEdit* PointsEdit = nullptr;
  std::array<QLineEdit*, 5> WindowEdits{};  // T low, T high, rate low, rate high, T0
  QComboBox* UnitBox = nullptr;
  QPushButton* FitButton = nullptr;
  QPushButton* UseButton = nullptr;
  QLabel* ResultText = nullptr;
  QChartView* Chart = nullptr;
};
