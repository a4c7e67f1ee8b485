// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Die inputs that no die is made with, as the screw's inputs have their
// ratios a designer would not draw: rules of thumb, not physics. A typing
// slip (0.01 for 1.0, 1000 for 10) gives figures that look like results, so
// the stage says so beside them.

#include <string>
#include <vector>

#include "melt/melt_inputs.h"

// MPa: extruder barrels and their rupture discs are commonly rated at
// 10,000 psi (69 MPa); a die that needs more is not run on one.
inline constexpr double HighestDiePressure = 70;

struct DieImplausibility {
  const char* Figure;  // the die input's name among the warning's figures
  double Value;
  std::string Text;
};

// In the order of the inputs: a capillary wider than the screw, a slit gap
// wider than the screw.
std::vector<DieImplausibility> DieImplausibilities(const MeltInputs& inputs, double screwDiameter);

// A sentence for a stage that ended in a floating-point fault: the die
// inputs its mode reads, with their values, to check first.
std::string DieFaultExplanation(const MeltInputs& inputs);
