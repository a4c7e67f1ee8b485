#include "melt/melt_warnings.h"

#include <cmath>
#include <cstdio>
#include <string>

#include "melt/die_plausibility.h"

namespace {

// The bound-spread limit: |b| x dT above it means viscosities a factor
// e^0.2 apart, enough for the two pressure profiles to be a range.
constexpr double BoundSpreadLimit = 0.2;

std::string Format(const char* format, auto... values) {
  char text[400];
  std::snprintf(text, sizeof text, format, values...);
  return text;
}

// Beyond this a figure is printed in exponent form: a fixed form would run to
// hundreds of digits.
constexpr double LargestFixedFigure = 1e9;

// A figure with `decimals` decimals, or in the exponent form of the summary
// line ("1e+300") when it is huge.
std::string Figure(double value, int decimals) {
  if (std::fabs(value) < LargestFixedFigure) return Format("%.*f", decimals, value);
  return Format("%.6g", value);
}

// e^spread, or its exponent when the factor itself is beyond a double.
std::string Factor(double spread) {
  const double factor = std::exp(spread);
  if (std::isfinite(factor)) return Format("%.3g", factor);
  return std::isfinite(spread) ? Format("e^%.6g", spread) : std::string("beyond any number");
}

// The first and last points where a condition holds, and how many.
struct PointRange {
  int32_t First = -1;
  int32_t Last = -1;
  int32_t Count = 0;
  void Add(int32_t j) {
    if (Count++ == 0) First = j;
    Last = j;
  }
};

void AddRangeWarning(MeltStage& stage, MeltWarningCode code, const PointRange& range, const char* format) {
  const double from = stage.Points[range.First].Turn;
  const double to = stage.Points[range.Last].Turn;
  stage.Warnings.push_back({code,
                            std::nullopt,
                            {{"FromTurn", from}, {"ToTurn", to}, {"PointCount", static_cast<double>(range.Count)}},
                            Format(format, from, to)});
}

void AddBoundWarnings(const MeltInputs& inputs, MeltBound bound, MeltStage& stage) {
  const MeltBoundSummary& s = stage.Summary[static_cast<int>(bound)];
  const char* name = MeltBoundName(bound);
  if (s.MinPressure < 0) {
    stage.Warnings.push_back(
        {MeltWarningCode::NegativePressure,
         bound,
         {{"Turn", s.MinPressureTurn}, {"Pressure", s.MinPressure}},
         Format("Pressure falls below zero at turn %.2f (bound %s, %s MPa): the channel is not full there, or "
                "this output needs %s MPa more at the start of melting.",
                s.MinPressureTurn, name, Figure(s.MinPressure, 3).c_str(),
                Figure(std::fabs(s.MinPressure), 3).c_str())});
  }
  if (inputs.DieMode != DieMode::None && !MarginReachesDie(s.PressureMargin)) {
    stage.Warnings.push_back(
        {MeltWarningCode::DieNotReached,
         bound,
         {{"DiePressure", s.DiePressure}, {"TipPressure", s.TipPressure}},
         Format("The die needs %s MPa but the screw gives %s MPa (bound %s): this output is not reachable "
                "with this die.",
                Figure(s.DiePressure, 3).c_str(), Figure(s.TipPressure, 3).c_str(), name)});
  }
  if (s.DiePressure > HighestDiePressure) {
    stage.Warnings.push_back(
        {MeltWarningCode::DiePressureHigh,
         bound,
         {{"DiePressure", s.DiePressure}},
         Format("The die needs %.3f MPa (bound %s), more than the about %.0f MPa extruders are built for: check "
                "the die's dimensions.",
                s.DiePressure, name, HighestDiePressure)});
  }
}

}  // namespace

const char* MeltWarningCodeName(MeltWarningCode code) {
  switch (code) {
    case MeltWarningCode::NegativePressure: return "NegativePressure";
    case MeltWarningCode::DieNotReached: return "DieNotReached";
    case MeltWarningCode::FlowAboveDragFlow: return "FlowAboveDragFlow";
    case MeltWarningCode::SolidAtTip: return "SolidAtTip";
    case MeltWarningCode::BedFillsChannel: return "BedFillsChannel";
    case MeltWarningCode::BoundsFarApart: return "BoundsFarApart";
    case MeltWarningCode::BarrelBelowMeltingPoint: return "BarrelBelowMeltingPoint";
    case MeltWarningCode::DiePressureHigh: return "DiePressureHigh";
    case MeltWarningCode::DieImplausible: return "DieImplausible";
    case MeltWarningCode::MeltOffBarrel: return "MeltOffBarrel";
  }
  return "";
}

// -0.0005 as a double lies just below the half-way point, so fixed notation
// rounds it to -0.001: the comparison agrees with the printed figure.
bool MarginReachesDie(double margin) { return margin > -0.0005; }

bool IsMeltNote(MeltWarningCode code) { return code == MeltWarningCode::BoundsFarApart; }

void AddMeltWarnings(const ModelState& state, const MeltInputs& inputs, MeltStage& stage) {
  AddBoundWarnings(inputs, MeltBound::Adiabatic, stage);
  AddBoundWarnings(inputs, MeltBound::Barrel, stage);

  PointRange aboveDrag, bedFills, coldBarrel;
  int32_t widest = 0;
  double widestDifference = -1;
  constexpr int A = static_cast<int>(MeltBound::Adiabatic);
  constexpr int B = static_cast<int>(MeltBound::Barrel);
  for (const MeltPoint& p : stage.Points) {
    if (p.Active && p.MeltFlowRate > *p.DragFlowRate) aboveDrag.Add(p.Index);
    if (p.Melting && p.FlowWidth <= 0 && p.MeltFlowRate > 0) bedFills.Add(p.Index);
    if (!p.Melting && state.Grid.BarrelTemp[p.Index] < state.Inputs.MeltingPoint) coldBarrel.Add(p.Index);
    const double difference = std::fabs(p.Bounds[A].Temperature - p.Bounds[B].Temperature);
    if (difference > widestDifference) {
      widestDifference = difference;
      widest = p.Index;
    }
  }

  if (aboveDrag.Count > 0) {
    AddRangeWarning(stage, MeltWarningCode::FlowAboveDragFlow, aboveDrag,
                    "The melt flow exceeds the channel's drag flow from turn %.2f to %.2f: that length uses up "
                    "pressure.");
  }
  const MeltCommonFigures& common = stage.Common;
  if (common.MeltEndIndex > common.TipIndex) {
    const double solid = state.Profile.SolidFraction[common.TipIndex];
    stage.Warnings.push_back({MeltWarningCode::SolidAtTip,
                              std::nullopt,
                              {{"SolidFraction", solid}},
                              Format("Solid is left at the screw tip (QS/QT = %.4f): the figures assume a melt pool "
                                     "beside the bed up to the tip.",
                                     solid)});
  }
  if (bedFills.Count > 0) {
    AddRangeWarning(stage, MeltWarningCode::BedFillsChannel, bedFills,
                    "The solid bed is as wide as the channel while melt is present from turn %.2f to %.2f: no "
                    "pressure computed there.");
  }
  const double spread = std::fabs(state.Inputs.ViscB) * widestDifference;
  if (spread > BoundSpreadLimit) {
    const double turn = stage.Points[widest].Turn;
    stage.Warnings.push_back(
        {MeltWarningCode::BoundsFarApart,
         std::nullopt,
         {{"TemperatureDifference", widestDifference}, {"Turn", turn}, {"Spread", spread}},
         Format("The two temperature bounds differ by %s K at turn %.2f: viscosities differ by a factor %s; "
                "read the two pressure profiles as a range.",
                Figure(widestDifference, 2).c_str(), turn, Factor(spread).c_str())});
  }
  for (const DieImplausibility& problem : DieImplausibilities(inputs, state.Inputs.ScrewDiameter)) {
    stage.Warnings.push_back({MeltWarningCode::DieImplausible, std::nullopt, {{problem.Figure, problem.Value}},
                              problem.Text});
  }
  if (coldBarrel.Count > 0) {
    AddRangeWarning(stage, MeltWarningCode::BarrelBelowMeltingPoint, coldBarrel,
                    "The barrel is below the melting point from turn %.2f to %.2f: bound B would freeze the melt.");
  }

  AddBoundWarnings(inputs, MeltBound::BestEstimate, stage);
  // As with the bounds' spread: this far from the barrel, the assumed
  // exchange moves the viscosity by more than a factor e^0.2.
  const double offBarrel = stage.Exchange.TipBarrelDifference;
  const double offSpread = std::fabs(state.Inputs.ViscB) * std::fabs(offBarrel);
  if (offSpread > BoundSpreadLimit) {
    stage.Warnings.push_back(
        {MeltWarningCode::MeltOffBarrel,
         MeltBound::BestEstimate,
         {{"TemperatureDifference", offBarrel}, {"Spread", offSpread}},
         Format("The best-estimate melt leaves the screw %.2f K from the barrel temperature: the melt temperature "
                "depends on the assumed barrel heat transfer (factor %g); check it against a measurement.",
                std::fabs(offBarrel), inputs.BarrelHeatTransferFactor)});
  }
}
