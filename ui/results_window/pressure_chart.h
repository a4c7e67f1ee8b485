#pragma once
// The chart of the tab "Pressure and temperature": the best estimate's
// pressure along the screw as the headline line, the two temperature bounds
// as the band they span, the zones shaded, the die's need at the tip, and
// the melt temperatures on a second axis. It takes plain curves, so it knows
// nothing of the stage's record. The legend names the profiles only;
// PressureChartKey says the rest.

#include <array>
#include <optional>
#include <vector>

#include "model/model_state.h"

class QChart;

struct PressureCurves {
  std::vector<double> Turns;                      // grid points from where melting starts to the tip
  // The adiabatic bound, the barrel bound, then the best estimate.
  std::array<std::vector<double>, 3> Pressure;    // MPa
  std::array<std::vector<double>, 3> Temperature; // degC
  std::optional<std::array<double, 3>> DiePressure;  // MPa; none without a die
  std::optional<double> MeltEndTurn;              // where the last solid melts
};

QChart* PressureChart(const ModelInputs& inputs, const PressureCurves& curves);

// What the lines, the band and the shades of the chart mean, as rich text.
extern const char* const PressureChartKey;
