#pragma once
// The grid of points along the screw where melting is evaluated: position in
// turns, channel depth, down-channel distance and barrel temperature.

#include "model_state.h"

// The three zone counts, truncated toward zero but kept in extended precision
// so that inputs too large for a 32-bit count can still be judged.
struct GridCounts {
  long double Feed = 0;
  long double Compression = 0;
  long double Metering = 0;
};

GridCounts ComputeGridCounts(const ModelInputs& inputs);

// Writes the counts and entries 0 to LastGridPoint of Flight, Depth,
// ChannelLength and BarrelTemp. The caller has made sure the grid fits.
void BuildAxialGrid(ModelState& state);

// B0 x (1 - B1 x exp(B2 x x)), x the axial distance from point 0 in cm.
double BarrelTemperatureAt(double b0, double b1, double b2, double x);

int32_t LastGridPoint(const AxialGrid& grid);
