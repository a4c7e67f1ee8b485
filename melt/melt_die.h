#pragma once
// What the die needs: the pressure (dyn/cm2) to push the melt flow through
// it at the tip's melt temperature, with power-law corrections for the
// capillary and the slit.

#include <optional>

#include "melt/melt_inputs.h"
#include "melt/melt_viscosity.h"

struct DieNeed {
  std::optional<double> Conductance;  // K, cm3
  std::optional<double> ShearRate;    // 1/s at the wall
  std::optional<double> Viscosity;    // poise
  double Pressure = 0;                // dyn/cm2
};

// flow: cm3/s; tipShearRate: the channel's nominal shear rate at the tip,
// which a die without geometry (Constant) uses.
DieNeed ComputeDieNeed(const MeltInputs& inputs, const MeltViscosityLaw& law, double flow,
                       double tipTemperature, double tipShearRate);
