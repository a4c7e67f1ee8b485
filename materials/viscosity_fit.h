// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The program's viscosity law mu = m0 exp(-b (T - T0)) gamma^(n-1) fitted to
// a datasheet's law or to measured points by least squares of ln mu:
// ln mu = ln m0 - b (T - T0) + (n - 1) ln gamma.

#include <optional>
#include <string>
#include <vector>

#include "materials/material.h"

// The source law's viscosity in Pa.s at `temperature` degC and `shearRate` 1/s.
double SourceViscosity(const SourceViscosityLaw& law, double temperature, double shearRate);

// Where a law is fitted: a grid of Points x Points, temperatures uniform over
// Temperature, shear rates log-uniform over ShearRate, and the reference
// temperature T0.
struct FitGrid {
  ValueRange Temperature;                    // degC
  ValueRange ShearRate{300.0, 10000.0};      // 1/s
  double T0 = 0;                             // degC
  int Points = 41;
};

// The default grid for `material`: from its fit window, T0 its upper
// temperature.
FitGrid MaterialFitGrid(const Material& material);

struct ViscosityPoint {
  double Temperature = 0;  // degC
  double ShearRate = 0;    // 1/s
  double Viscosity = 0;    // Pa.s
};

struct ViscosityFit {
  bool Fitted = false;
  std::string Problem;  // why there is no fit
  double M0 = 0;        // Pa.s^n, unrounded
  double B = 0;         // 1/degC
  double N = 0;
  double T0 = 0;        // degC
  // The fitted law against its source over the points fitted: the root mean
  // square and the largest relative error of mu, in percent.
  double RmsPercent = 0;
  double MaxPercent = 0;
};

// Fits `law` over `grid`.
ViscosityFit FitSourceLaw(const SourceViscosityLaw& law, const FitGrid& grid);

// Fits measured points; T0 is `t0` or, without it, the highest temperature
// measured. Needs three points or more, at two temperatures and two shear
// rates at least, every value positive and finite.
ViscosityFit FitViscosityPoints(const std::vector<ViscosityPoint>& points, std::optional<double> t0 = {});

// Reads points pasted from a spreadsheet: one point a line, temperature
// (degC), shear rate (1/s) and viscosity (Pa.s) separated by tabs, commas,
// semicolons or blanks (in a line with tabs or semicolons a comma is the
// decimal point); blank lines and lines starting with '#' skipped, a
// first line without numbers taken as a header. Returns nothing with
// `error` naming the line when a line does not read.
std::optional<std::vector<ViscosityPoint>> ParseViscosityPoints(const std::string& text, std::string& error);

// A value rounded to `digits` significant digits, and to `decimals` decimals.
double RoundSignificant(double value, int digits);
double RoundDecimals(double value, int decimals);

// The fit as a record stores it: m0 in `unit` to 3 significant digits, b to 3
// significant digits, n to 4 decimals, T0 as fitted; into material.Values.
void StoreFit(const ViscosityFit& fit, ViscosityUnit unit, Material& material);
