#pragma once
// The walk along the grid that melts the solid bed: film thickness, melting
// rate, remaining solid flow and bed width per point, and the power totals.

#include "model_state.h"

void ComputeMeltingProfile(ModelState& state);

// m0 x exp(-b x (T - T0)) x shearRate^(n - 1), stored into `viscosity`.
void MeltViscosity(double m0, double b, double n, double t0, double t, double shearRate, double& viscosity);

// x to the power y: integral exponents by repeated squaring (a negative base
// allowed), others through exp(y ln x).
double Power(double x, double y);
