#include "results/run_summary.h"

#include <algorithm>
#include <cmath>

#include "model/axial_grid.h"
#include "results/number_text.h"

namespace {

constexpr long double Pi = 3.14159265358979323846264338327950288L;

std::string Percent(double fraction) { return FixedText(fraction * 100.0, 0) + " %"; }

void AddWarnings(const ModelState& state, int rows, RunSummary& summary) {
  const double angle = summary.ConveyingAngleDegrees;
  if (!(angle > 0.0 && angle < 90.0)) {
    summary.Warnings.push_back(
        "The solid conveying angle is " + FixedText(angle, 1) +
        "\u00B0, outside 0\u00B0 to 90\u00B0: the screw cannot convey this output at this speed. "
        "Lower the output or raise the screw speed.");
  }

  int widest = -1;
  for (int i = 0; i < rows; ++i) {
    if (state.Profile.WidthRatio[i] > 1.0 &&
        (widest < 0 || state.Profile.WidthRatio[i] > state.Profile.WidthRatio[widest])) {
      widest = i;
    }
  }
  if (widest >= 0) {
    summary.Warnings.push_back(
        "X/W rises above 1 (" + FixedText(state.Profile.WidthRatio[widest], 3) + " at turn " +
        FixedText(state.Grid.Flight[widest], 2) +
        "): the solid bed would be wider than the channel, which the model does not describe.");
  }

  if (summary.MeltingPower < 0.0) {
    summary.Warnings.push_back("The motor power for melting is negative (" +
                               FixedText(summary.MeltingPower, 4) +
                               " kW): no real screw runs this way; the result is not physical.");
  }

  if (!summary.Melted && rows > 0) {
    summary.Warnings.push_back(
        "Solid is left at the end of the screw: " + Percent(summary.EndSolidFraction) +
        " of the solid is unmelted at turn " + FixedText(summary.EndTurns, 2) +
        ". Lower the output, raise the barrel temperature or lengthen the screw.");
  }
}

}  // namespace

double AxialDistanceAt(const ModelState& state, int point) {
  return static_cast<double>(std::sin(static_cast<long double>(state.Operating.HelixAngle)) *
                             state.Grid.ChannelLength[point]);
}

RunSummary SummarizeRun(const ModelState& state) {
  RunSummary summary;
  const ModelInputs& inputs = state.Inputs;
  const MeltingProfile& profile = state.Profile;
  const int lastPoint = LastGridPoint(state.Grid);
  const int rows = std::clamp<int>(profile.RowCount, 0, MaxGridPoints);

  summary.MeltingPower = profile.MeltingPower;
  summary.NetMeltingEnergy = profile.NetMeltingEnergy;
  summary.SpecificEnergy =
      static_cast<double>(static_cast<long double>(profile.NetMeltingEnergy) / inputs.OutputRate);
  summary.ConveyingAngleDegrees =
      static_cast<double>(static_cast<long double>(state.Operating.ConveyingAngle) * 180.0L / Pi);

  // The walk stops early only when the threshold was crossed; a walk to the
  // end of the grid prints one row more than it computed steps.
  summary.Melted = lastPoint > 0 && profile.RowCount <= lastPoint;
  if (rows > 0) {
    const int end = rows - 1;
    summary.EndPoint = end;
    summary.EndTurns = state.Grid.Flight[end];
    summary.EndDistance = AxialDistanceAt(state, end);
    summary.EndLengthRatio = static_cast<double>(
        (static_cast<long double>(inputs.DelayTurns) * inputs.ScrewPitch + summary.EndDistance) /
        inputs.ScrewDiameter);
    summary.EndSolidFraction =
        summary.Melted ? static_cast<double>(static_cast<long double>(profile.SolidFlow[rows]) /
                                             state.Operating.SolidVolumeRate)
                       : profile.SolidFraction[end];
  }
  AddWarnings(state, rows, summary);
  return summary;
}

std::string SummaryVerdict(const RunSummary& summary) {
  if (summary.EndPoint < 0) return "no grid point";
  if (summary.Melted) return "melted at turn " + FixedText(summary.EndTurns, 1);
  return "solid left at the screw end: " + Percent(summary.EndSolidFraction);
}
