#pragma once
// The chart of the tab "Pressure and temperature": the pressure along the
// screw for the two temperature bounds with the band between them, the
// zones shaded, the die's need at the tip, and the two melt temperatures on
// a second axis. It takes plain curves, so it knows nothing of the stage's
// record. The legend names the bounds only; PressureChartKey says the rest.

#include <array>
#include <optional>
#include <vector>

#include "model/model_state.h"

class QChart;

struct PressureCurves {
  std::vector<double> Turns;                      // grid points from where melting starts to the tip
  std::array<std::vector<double>, 2> Pressure;    // MPa; the adiabatic bound, then the barrel bound
  std::array<std::vector<double>, 2> Temperature; // degC, likewise
  std::optional<std::array<double, 2>> DiePressure;  // MPa; none without a die
  std::optional<double> MeltEndTurn;              // where the last solid melts
};

QChart* PressureChart(const ModelInputs& inputs, const PressureCurves& curves);

// What the lines, the band and the shades of the chart mean, as rich text.
extern const char* const PressureChartKey;
