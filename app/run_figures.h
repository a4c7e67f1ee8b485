#pragma once
// The figures a completed run is read by besides the report's own: where
// melting ends and what is compared there. RunCommand computes each of them
// once before the report is written, so a run whose figures would be infinite
// or not a number fails at that figure, like any fault of the calculation,
// and no export or screen ever shows one.

#include <cstdint>
#include <string>

#include "model/model_state.h"

// The first grid point with less than 2 % of the solid left (grid point
// RowCount), or the last point when the walk reached the end of the grid with
// solid left; -1 when the report has no row.
struct MeltingEnd {
  bool Melted = false;
  int32_t Point = -1;
};
MeltingEnd MeltingEndOf(const ModelState& state);

// The axial distance of a grid point from where melting starts, cm: the
// down-channel distance times the sine of the helix angle, as the barrel
// temperature law takes it.
double AxialDistanceAt(const ModelState& state, int point);

// QS/QT at a grid point: the solid flow over the total, as the walk's
// threshold test takes it. Negative when the step before it melted more
// solid than there was.
double SolidFractionAt(const ModelState& state, int point);

// L/D of a grid point: its axial distance from the hopper end over the diameter.
double LengthRatioAt(const ModelState& state, int point);

// kWh per kg of output: the net melting energy over the output.
double SpecificEnergyOf(const ModelState& state);

double ConveyingAngleDegreesOf(const ModelState& state);

// Computes every figure above that a completed run shows and throws
// FloatFault naming the first one that has no finite value.
void CheckRunFigures(const ModelState& state);

// An angle in degrees with its sign and as many digits as it takes to tell
// on which side of 0° and 90° it lies: one decimal for most angles, more
// near the bounds (-1.1e-08, not 0.0).
std::string AngleDegreesText(double degrees, char decimalSeparator = '.');
