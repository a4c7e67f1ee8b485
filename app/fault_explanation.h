#pragma once
// Inputs that pass every check can still make the model impossible: the
// calculation then ends with a floating-point fault whose text names a
// formula, not a cause. This turns the state the fault left into one sentence
// an engineer can act on: the inputs involved, their values, what to change.

#include <string>

#include "model/model_state.h"

// The sentence for the fault that ended the last calculation on `state`, or
// an empty text when the fault is none of the known causes. Numbers are
// written with `decimalSeparator`.
std::string ExplainFault(const ModelState& state, char decimalSeparator = '.');
