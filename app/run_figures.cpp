#include "app/run_figures.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdlib>

#include "model/axial_grid.h"
#include "model/float_faults.h"
#include "report/format_number.h"

namespace {

constexpr long double Pi = 3.14159265358979323846264338327950288L;

bool InsideQuarterTurn(double degrees) { return degrees > 0.0 && degrees < 90.0; }

}  // namespace

MeltingEnd MeltingEndOf(const ModelState& state) {
  const int32_t lastPoint = LastGridPoint(state.Grid);
  const int32_t rowCount = state.Profile.RowCount;
  // The walk stops early only when the threshold was crossed; a walk to the
  // end of the grid prints one row more than it computed steps.
  if (lastPoint > 0 && rowCount >= 1 && rowCount <= lastPoint) return {true, rowCount};
  const int32_t rows = std::clamp<int32_t>(rowCount, 0, MaxGridPoints);
  return {false, rows - 1};
}

namespace {

// The figures themselves; each public one below is a checked computation of
// its own, CheckRunFigures one for all of them.
double AxialDistance(const ModelState& state, int point) {
  return Checked(std::sin(static_cast<long double>(state.Operating.HelixAngle)) * state.Grid.ChannelLength[point],
                 "AxialDistance");
}

double SolidFraction(const ModelState& state, int point) {
  return Checked(static_cast<long double>(state.Profile.SolidFlow[point]) / state.Operating.SolidVolumeRate,
                 "EndSolidFraction");
}

double LengthRatio(const ModelState& state, int point) {
  const ModelInputs& inputs = state.Inputs;
  return Checked((static_cast<long double>(inputs.DelayTurns) * inputs.ScrewPitch + AxialDistance(state, point)) /
                     inputs.ScrewDiameter,
                 "EndLengthRatio");
}

double SpecificEnergy(const ModelState& state) {
  return Checked(static_cast<long double>(state.Profile.NetMeltingEnergy) / state.Inputs.OutputRate,
                 "SpecificEnergy");
}

double ConveyingAngleDegrees(const ModelState& state) {
  return Checked(static_cast<long double>(state.Operating.ConveyingAngle) * 180.0L / Pi, "ConveyingAngleDegrees");
}

}  // namespace

double AxialDistanceAt(const ModelState& state, int point) {
  const FloatFaultScope scope;
  return AxialDistance(state, point);
}

double SolidFractionAt(const ModelState& state, int point) {
  const FloatFaultScope scope;
  return SolidFraction(state, point);
}

double LengthRatioAt(const ModelState& state, int point) {
  const FloatFaultScope scope;
  return LengthRatio(state, point);
}

double SpecificEnergyOf(const ModelState& state) {
  const FloatFaultScope scope;
  return SpecificEnergy(state);
}

double ConveyingAngleDegreesOf(const ModelState& state) {
  const FloatFaultScope scope;
  return ConveyingAngleDegrees(state);
}

void CheckRunFigures(const ModelState& state) {
  // Flags an unchecked comparison of the walk left behind belong to no
  // figure; each figure below raises its own again.
  const FloatFaultScope scope;
  const MeltingEnd end = MeltingEndOf(state);
  const int rows = std::clamp<int32_t>(state.Profile.RowCount, 0, MaxGridPoints);
  for (int i = 0; i < rows; ++i) AxialDistance(state, i);
  if (end.Point >= 0) {
    LengthRatio(state, end.Point);
    if (end.Melted) SolidFraction(state, end.Point);
  }
  SpecificEnergy(state);
  ConveyingAngleDegrees(state);
}

std::string AngleDegreesText(double degrees, char decimalSeparator) {
  const std::string fixed = FormatNumber(degrees, NumberForm::FixedForm, 18, 1, decimalSeparator);
  const double shown = std::round(degrees * 10.0) / 10.0;
  // One decimal reads true unless it rounds onto a bound the angle is not on.
  const bool onBound = shown == 0.0 || shown == 90.0;
  if (InsideQuarterTurn(shown) == InsideQuarterTurn(degrees) && (!onBound || shown == degrees)) return fixed;
  for (int digits = 2; digits <= 17; ++digits) {
    char text[64];
    const std::to_chars_result end =
        std::to_chars(text, text + sizeof text, degrees, std::chars_format::general, digits);
    std::string result(text, end.ptr);
    const double read = std::strtod(result.c_str(), nullptr);
    if (InsideQuarterTurn(read) == InsideQuarterTurn(degrees) && read != 0.0 && read != 90.0) {
      std::replace(result.begin(), result.end(), '.', decimalSeparator);
      return result;
    }
  }
  return fixed;
}
