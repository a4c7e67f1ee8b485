#pragma once
// Model states for tests, built from the window's initial texts.

#include <string>

#include "model/model_state.h"

// The initial texts converted, unit gf.s/cm2 with its factors.
ModelState DefaultState();

// The value rounded to `digits` significant digits, as a figure is stated.
std::string Significant(double value, int digits);
